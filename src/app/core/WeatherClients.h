// The clients of the services a refresh may ask; the request's Service picks one.
#pragma once

#include "OpenMeteoClient.h"
#include "Zelto_OWM.h"

struct TWeatherClients {
    TOwmClient Owm;
    TOpenMeteoClient OpenMeteo;
};

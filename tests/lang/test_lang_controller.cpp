#include "LangController.h"

#include "FetchFailure.h"

#include "HttpGet.h"

TFailureKind FailureKindOf(THttpFailure failure)
{
    switch (failure) {
    case THttpFailure::None:
        return TFailureKind::None;
    case THttpFailure::TimedOut:
        return TFailureKind::TimedOut;
    case THttpFailure::TooLarge:
        return TFailureKind::TooLarge;
    case THttpFailure::Refused:
        return TFailureKind::Refused;
    case THttpFailure::NoRoute:
        return TFailureKind::NoRoute;
    case THttpFailure::Tls:
    case THttpFailure::CaFile:
        return TFailureKind::Tls;
    case THttpFailure::Cancelled:
        return TFailureKind::Cancelled;
    case THttpFailure::Other:
        break;
    }
    return TFailureKind::NoAnswer;
}

TFetchFailure MakeFailure(TFailureKind kind, const QString &message, int httpStatus)
{
    TFetchFailure failure;
    failure.Kind = kind;
    failure.Message = message;
    failure.HttpStatus = httpStatus;
    return failure;
}

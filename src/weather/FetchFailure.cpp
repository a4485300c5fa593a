#include "FetchFailure.h"

#include "HttpGet.h"

namespace {

const char kNoAnswerInTime[] = "No data received: the service did not answer in time";
const char kAnswerTooLarge[] = "The service's answer is larger than %1 MiB";
constexpr std::int64_t kBytesPerMiB = 1024 * 1024;
const char kCaFileUnusable[] = "The certificate file %1 cannot be read or holds no certificate";

} // namespace

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

void ExplainTransportFailure(THttpFailure failure, const THttpOptions &options, TFetchFailure &target)
{
    if (failure == THttpFailure::None)
        return;
    target.Kind = FailureKindOf(failure);
    if (failure == THttpFailure::TimedOut)
        target.Message = QString::fromLatin1(kNoAnswerInTime);
    else if (failure == THttpFailure::TooLarge)
        target.Message = QString::fromLatin1(kAnswerTooLarge).arg(options.MaxBodyBytes / kBytesPerMiB);
    else if (failure == THttpFailure::CaFile)
        target.Message = QString::fromLatin1(kCaFileUnusable).arg(options.CaFile);
}

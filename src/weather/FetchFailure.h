// Why a request to the service brought no usable answer: a kind the program
// acts on, and the words of the service, the transport or the parser for the
// user. The kind travels as data from the transport to the panel, so no one
// has to read it back out of the words.
#pragma once

#include <QString>

enum class THttpFailure;
struct THttpOptions;

enum class TFailureKind {
    None,          // no failure
    TimedOut,      // no whole answer within the time-outs
    TooLarge,      // the answer was longer than the client accepts
    Refused,       // the host answered, but nothing listens on the port
    NoRoute,       // the name is unknown, or the host or its network cannot be reached
    Tls,           // the secure connection could not be set up or verified
    NoAnswer,      // the connection failed otherwise, or an empty answer came
    HttpStatus,    // the service answered with an error status, with its message when it sent one
    BadDocument,   // the answer is no document of the kind asked for; the parser's line and column
    InvalidKey,    // the service refused the key
    NoKey,         // no key is set, so the service was not asked
    PlaceNotFound, // the service does not know the place
    Cancelled,     // the program stopped the request (it is closing)
};

struct TFetchFailure {
    TFailureKind Kind = TFailureKind::None;
    // The service's message, the parser's message with line and column, or the
    // transport's words; what the user is shown after "Data load failed:".
    QString Message;
    int HttpStatus = 0; // of the answer, when one came; 0 otherwise
    int Line = 0;       // of a bad document, when the parser named one
    int Column = 0;

    bool Failed() const { return Kind != TFailureKind::None; }
};

// The kind of a transfer that did not complete; None for THttpFailure::None.
TFailureKind FailureKindOf(THttpFailure failure);

// A failure of `kind` with `message`, for the places that build one at once.
TFetchFailure MakeFailure(TFailureKind kind, const QString &message = QString(), int httpStatus = 0);

// Names the transport's reason in `target` when an answer did not come: its
// kind, and for a time-out, an over-long answer or an unusable certificate
// file its own words (other kinds keep the message `target` has).
void ExplainTransportFailure(THttpFailure failure, const THttpOptions &options, TFetchFailure &target);

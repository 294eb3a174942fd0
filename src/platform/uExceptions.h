#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// Every failure travels as an exception that already carries the text the user will read.
// `Exception` is a program fault; `EUserError` and its descendants are caused by the user or
// the environment and are shown as a plain message.
// Text from files, devices and servers as a message may quote it: control characters (and
// the C1 range, where terminal escapes also hide) are shown as "\x1b", so a hostile file
// cannot drive the terminal or hide the rest of the message.
QString EscapeControls(const QString& text);

// A message as the user reads it: closed by a full stop, unless it already ends in one or in
// an ellipsis ("Invalid xml: <gpx...").
QString AsSentence(const QString& message);

class Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

class EUserError : public Exception {
public:
    using Exception::Exception;
};

// The connection to the handheld device failed.
class EInitRapi : public EUserError {
public:
    using EUserError::EUserError;
};

// A POI site answered with a complaint of its own.
class ESiteError : public EUserError {
public:
    using EUserError::EUserError;
};

// The user cancelled a long operation; it ends without a message.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

// The reader of a pipe the program writes went away; the program ends quietly, as a pipeline's
// writer does when its reader has had enough.
class EBrokenPipe : public EAbort {
public:
    EBrokenPipe()
        : EAbort(QString())
    {
    }
};

// Text that should hold a number does not.
class EConvertError : public EUserError {
public:
    using EUserError::EUserError;
};

// A registry value exists but holds another type than the one asked for.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// A converter's option operation was called on a format that has no such option, or a
// registration broke one of the registry's rules: programming errors, not user errors.
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

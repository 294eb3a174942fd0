#include "platform/uExceptions.h"

Exception::Exception(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

#include "tools/uCoordsCalculator.h"

#include "platform/uExceptions.h"
#include "platform/uMessages.h"

void TCoordsCalculator::CheckEntered() const
{
    if (FEntry.Longitude() == 0 && FEntry.Latitude() == 0)
        throw EUserError(Tr(Msg::EnterCoordinates));
}

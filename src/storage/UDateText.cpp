#include "UDateText.h"

#include "UNoteFiles.h"
#include "UPlatform.h"

std::string TimeZoneName(const TTimeZoneInfo& zone) {
    if (!zone.Known || !zone.HasDaylightTime)
        return "Unknown Timezone";
    return zone.InDaylightTime ? zone.DaylightName : zone.StandardName;
}

std::string TimeZoneName(const IClock& clock) {
    return TimeZoneName(clock.TimeZone());
}

std::string CurrentDateText(const IClock& clock) {
    const TLocalDateTime now = clock.LocalNow();
    return clock.ShortMonthName(now.Month) + " " + PadNumber(now.Day, 2) + ", " +
           PadNumber(now.Year, 4) + " " + PadNumber(now.Hour, 2) + ":" + PadNumber(now.Minute, 2) +
           " " + TimeZoneName(clock);
}

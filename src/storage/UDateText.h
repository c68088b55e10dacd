#pragma once

#include <string>

class IClock;
struct TTimeZoneInfo;

// The name of the time zone in force: the daylight-time name while daylight time applies, the
// standard-time name otherwise, and "Unknown Timezone" for a zone without daylight time or an
// unknown zone.
std::string TimeZoneName(const TTimeZoneInfo& zone);
std::string TimeZoneName(const IClock& clock);

// "Mar 07, 2006 14:05 W. Europe Standard Time": local date and time, then the zone name.
std::string CurrentDateText(const IClock& clock);

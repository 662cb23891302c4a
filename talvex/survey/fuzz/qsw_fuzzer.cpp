// Feeds arbitrary bytes to the survey document reader. A file it accepts
// must store again and read back to the same survey.

#include "common/messenger.h"
#include "talvex/survey/surveyfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    common::RecordingMessenger messenger;
    talvex::SurveyData survey;
    if (!talvex::decodeSurvey(std::span<const std::uint8_t>(data, size), survey, messenger)) {
        if (messenger.messages.size() != 1)
            std::abort(); // a refused file always says why, once
        return 0;
    }
    const std::vector<std::uint8_t> stored = talvex::encodeSurvey(survey);
    talvex::SurveyData again;
    if (!talvex::decodeSurvey(stored, again, messenger) || talvex::encodeSurvey(again) != stored)
        std::abort();
    return 0;
}

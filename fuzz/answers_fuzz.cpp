// Answers in practice and test: the bytes up to the first line break as a box's answer text (split into the
// answer and its alternatives), the rest as what the learner typed, judged, padded for the answer sheet and
// normalised.
#include "fuzz_support.h"

#include "practice/practice_engine.h"

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::size_t cut = std::min(bytes.find('\n'), bytes.size());
    const std::string answer(bytes.substr(0, cut));
    const std::string typed(bytes.substr(std::min(cut + 1, bytes.size())));

    PracticeBox box;
    box.acceptList = acceptListOf(answer);
    box.referenceAnswer = box.acceptList.empty() ? std::string() : box.acceptList.front();
    for (bool shown : {false, true}) {
        box.answerShown = shown;
        (void)matchAnswer(box, typed);
    }
    (void)padTestAnswer(typed, box.referenceAnswer);
    (void)normaliseAnswer(typed);
    return 0;
}

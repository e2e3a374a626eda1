#pragma once
// Marking of question 2: the "answer2" fields of the first question pane against one of
// three fixed keys. Nothing marks question 2 yet; a caller picks the variant whose key
// belongs to the question-2 content it showed.
#include <cstdint>

#include "marking.h"

namespace platform {
class BrowserPane;
}

namespace exam_window {

// Every item of these keys is a counted item whose threshold is its number of members, so
// an item scores only when every member passes and no repeated entry can make up for a
// missing one: a page never gains more than the 20 points of the correct answer.
const MarkingKey& q2_key_variant1();
const MarkingKey& q2_key_variant2();
const MarkingKey& q2_key_variant3();

// The "answer2" fields of a pane, in one round trip. A pane that cannot be read throws.
AnswerFields q2_answer_fields(platform::BrowserPane& wbQuestion);

// Each adds 4 to score for every one of its five items that scores. A failed read or a
// 16-bit overflow ends the routine and goes to the caller; the points of the items
// finished before stay.
void score_q2_variant1(const AnswerFields& answer2, int16_t& score);
void score_q2_variant2(const AnswerFields& answer2, int16_t& score);
void score_q2_variant3(const AnswerFields& answer2, int16_t& score);

}  // namespace exam_window

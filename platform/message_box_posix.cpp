// The host double's message box: it records what would have been shown and answers as the
// test told it to, so code that asks the user can be tested without a screen.
#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/host_double.h"
#include "platform/message_box.h"

namespace platform {

namespace {
std::mutex message_box_mutex;
std::vector<HostDouble::MessageBoxRecord> shown_message_boxes;
std::vector<int> scripted_answers;
}  // namespace

int ShowMessageBox(NativeWindow owner, StringView text, StringView caption, unsigned style) {
  std::lock_guard lock(message_box_mutex);
  shown_message_boxes.push_back({owner, String(text), String(caption), style});
  if (scripted_answers.empty()) return AnswerOk;
  const int answer = scripted_answers.front();
  scripted_answers.erase(scripted_answers.begin());
  return answer;
}

std::vector<HostDouble::MessageBoxRecord> HostDouble::TakeMessageBoxes() {
  std::lock_guard lock(message_box_mutex);
  return std::exchange(shown_message_boxes, {});
}

void HostDouble::AnswerNextMessageBox(int answer) {
  std::lock_guard lock(message_box_mutex);
  scripted_answers.push_back(answer);
}

}  // namespace platform

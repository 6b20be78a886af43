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
std::function<int(const HostDouble::MessageBoxRecord&)> answer_handler;
}  // namespace

int ShowMessageBox(NativeWindow owner, StringView text, StringView caption, unsigned style) {
  std::unique_lock lock(message_box_mutex);
  const HostDouble::MessageBoxRecord record{owner, String(text), String(caption), style};
  shown_message_boxes.push_back(record);
  if (answer_handler) {
    const auto handler = answer_handler;
    lock.unlock();
    return handler(record);
  }
  if (scripted_answers.empty()) return AnswerOk;
  const int answer = scripted_answers.front();
  scripted_answers.erase(scripted_answers.begin());
  return answer;
}

std::vector<HostDouble::MessageBoxRecord> HostDouble::TakeMessageBoxes() {
  std::lock_guard lock(message_box_mutex);
  return std::exchange(shown_message_boxes, {});
}

void HostDouble::SetMessageBoxHandler(std::function<int(const MessageBoxRecord&)> handler) {
  std::lock_guard lock(message_box_mutex);
  answer_handler = std::move(handler);
}

void HostDouble::AnswerNextMessageBox(int answer) {
  std::lock_guard lock(message_box_mutex);
  scripted_answers.push_back(answer);
}

}  // namespace platform

// Test windows: fake windows of the host double, of a made-up process of this program.
#include "platform/host_double.h"
#include "tests/support/test_window.h"

TestWindow::TestWindow(StringView class_name) : class_name_(class_name) {
  process_id_ = 4242;
  executable_path_ = u"C:\\tests\\platform_tests.exe";
  handle_ =
      platform::HostDouble::AddWindow({String(class_name), u"", process_id_, executable_path_});
}

TestWindow::~TestWindow() {
  platform::HostDouble::RemoveWindow(handle_);
}

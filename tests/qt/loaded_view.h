#pragma once

#include <QTest>

#include "form/main_form.h"
#include "form_view.h"
#include "support/fake_platform.h"

namespace kiv::testing {

// The main window drawn by the Qt view over the scripted platform, built in
// the program's order: the view watches the form before the form loads.
struct LoadedView {
  LoadedView() { form.Form_Load(); }

  template <typename Widget>
  Widget* widget(const Control& control) const {
    return qobject_cast<Widget*>(view.widgetFor(control));
  }

  // Focus and window shortcuts act only in the active window.
  [[nodiscard]] bool showActive() {
    view.show();
    view.activateWindow();
    return QTest::qWaitForWindowActive(&view);
  }

  FakePlatform platform;
  MainForm form{platform};
  FormView view{form};
};

}  // namespace kiv::testing

#pragma once

#include <gtest/gtest.h>

#include "form/main_form.h"
#include "support/fake_platform.h"

namespace kiv::testing {

// A loaded main window on the scripted platform: task 1 shown, schedule
// untitled and unchanged.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override { form.Form_Load(); }

  // Fills the shown task with what compilation needs.
  void fillRequiredFields() {
    form.TBox[kAccessLocationBox].setText("/opt/db/access");
    form.TBox[kDatabaseLocationBox].setText("/srv/orders.mdb");
  }

  FakePlatform platform;
  MainForm form{platform};
};

}  // namespace kiv::testing

#pragma once

#include "shell/clock.h"
#include "shell/files.h"
#include "shell/journal_store.h"
#include "shell/notifier.h"
#include "shell/process_starter.h"
#include "shell/questions.h"
#include "shell/schedule_locks.h"
#include "shell/settings_store.h"
#include "shell/system_log.h"
#include "shell/this_process.h"
#include "shell/window_shell.h"

namespace kiv {

// Everything the window asks of the operating system and the toolkit, each
// role an interface of its own: the engine and kivctl take only the roles
// they use. Each front-end implements it once; tests use a scripted fake.
class Platform : public Questions,
                 public Files,
                 public WindowShell,
                 public Notifier,
                 public ProcessStarter,
                 public ThisProcess,
                 public SettingsStore,
                 public ScheduleLocks,
                 public JournalStore,
                 public Clock {
 public:
  // The system's own log, where a front-end has one.
  virtual SystemLog* systemLog() { return nullptr; }
};

}  // namespace kiv

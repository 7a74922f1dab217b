#include "usage.h"

#include "base/identity.h"
#include "stop_signals.h"

namespace kiv::ctl {

std::string helpText() {
  return std::string(R"(Usage: kivctl COMMAND [OPTION]... FILE
Inspect a schedule file of the Kiv task scheduler, list its next launches,
run its scheduler without a window, or hand the schedule to systemd timers
or the Windows Task Scheduler.

Commands:
  list FILE [--json] [--show-passwords]
        all 30 tasks with their fields, for a compiled task that passes
        compilation the command line it launches, and each task's last
        launch and outcome when the launch journal holds one; passwords
        show as ******** unless --show-passwords; each task's options
        follow its fields
  next FILE [--from "YYYY-MM-DD hh:mm:ss"] [--count N] [--until "YYYY-MM-DD hh:mm:ss"] [--json]
        the next launches of the compiled tasks in time order, from the
        given local time (default now, inclusive), at most N (default 10),
        none after --until; tasks that never launch are named on standard
        error with the reason
  check FILE
        checks each compiled task as compiling it and the launch-time check
        would; one line per problem
  run FILE [--log-successes] [--metrics METRICS]
        runs the scheduler on FILE without a window: launches due tasks,
        journals each launch, prints each last-launch status on standard
        output and messages and failed starts on standard error; ends on )") +
         std::string(stopRequestNames()) + R"(; refuses a schedule another Kiv
        program schedules. Each failed, missed or refused launch is written
        to the system's log too (syslog as "kiv", the Application event log
        as "Kiv"); with --log-successes each start and each exit status 0 too.
        --metrics rewrites METRICS after each launch and end with each task's
        figures in the Prometheus text format
  convert IN OUT
        reads a schedule of any layout and writes it to OUT in the current one
  export FILE --systemd DIR [--user|--system] [--prefix NAME] [--persistent]
        writes into DIR, readable by the owner only, a service and a timer
        NAME-taskN.service and NAME-taskN.timer for each compiled task the
        scheduler would start: the service starts the task's program as the
        scheduler does, the timer elapses when the scheduler would launch it
        (NAME: kiv- and the file's name unless --prefix); --persistent
        catches up on a launch missed while the machine was off, as the timer
        of a fixed-time task with a catch-up window always does; a time limit
        becomes TimeoutStartSec=; prints the units and the systemctl commands
        that start them, for the user's service manager (--user, the default)
        or the system's (--system); tasks that get no units, and where the
        units differ from a task's options, are named on standard error
  export FILE --task-scheduler DIR
        writes into DIR, readable by the owner only, a Task Scheduler XML
        file "Kiv task N (name).xml" (UTF-16) for each compiled task the
        scheduler would start: a calendar trigger per launch time, the
        program and arguments the scheduler starts, its time limit and
        catch-up; the first and last weekday of the month start
        "kivctl.exe due FILE --task N --then-run" on candidate days instead;
        prints the schtasks commands that import the files; tasks that get
        none, files that hold a password and where a file differs from a
        task's options are named on standard error
  due FILE --task N [--then-run]
        says whether task N's day pattern lets it launch today; with
        --then-run starts it then, once, as run would, journals the launch,
        and waits for its program to end (at its time limit at the latest)
  history [FILE] [--task N] [--since "YYYY-MM-DD hh:mm:ss"] [--json] [--wide]
        the launch journal, newest last: every launch attempt (of FILE's
        tasks only when FILE is given) with how it came about, whether it
        started and how the program ended; the table fits the terminal (80
        columns when not printing to one), leaving columns out and wrapping
        texts, unless --wide
  options FILE --task N [--wait MINUTES] [--time-limit MINUTES|none] [--catch-up HOURS|off] [--backups N] [--backup-folder DIR|default] [--force]
        prints task N's options, or sets those given and saves the file: how
        long a launch waits for another program Kiv started on the same
        database (0 to 1440 minutes, default 60), a time limit for the
        program (1 to 1440 minutes, default none), how late a missed
        fixed-time launch is made up (1 to 168 hours, default off), how many
        copies of the database a compact, repair or decompile keeps (0 to
        99, default 1; 0 makes none) and the folder they go to (default: a
        "Kiv backups" folder beside the database; at most 110 bytes in the
        schedule's code page); they are kept in the padding of the task's
        Version slot, tagged and checksummed, which other programs ignore
        and lose when they rewrite the file; a compiled task only with --force

Example: run the tasks of nightly.kiv as the user's systemd timers
  kivctl export nightly.kiv --systemd ~/.config/systemd/user
  systemctl --user daemon-reload
  systemctl --user enable --now kiv-nightly-task3.timer

Options:
  --help     show this help and exit
  --version  show the version and exit

Exit status: 0 success, 1 failure (a file that cannot be read or written,
problems found), 2 bad usage.
)";
}

std::string versionText() {
  return "kivctl (" + std::string(identity::kProductName) + ") " +
         std::to_string(identity::kMajor) + "." + std::to_string(identity::kMinor) + "." +
         std::to_string(identity::kRevision) + "\n";
}

}  // namespace kiv::ctl

#pragma once

#include "schedule_file/code_page.h"
#include "schedule_file/file_error.h"
#include "schedule_file/schedule_layout.h"
#include "tasks/task.h"

namespace kiv {

// The current layout's 53633 bytes for the whole table: every stored field of
// all 30 tasks (CommandLine never), texts in the code page (Windows-1252 unless told otherwise),
// the password scrambled, padding zero but for the options record of each task whose options are
// not the defaults. Fails, naming the task and the field, for a text (or a backup folder) with a
// character outside the code page (kNoCodePageForm, kInvalidUtf8), a text longer than a slot holds
// (kTextTooLong; a password of more than 42 characters), or a byte, an option or a backup folder
// the program could not read back (kValueOutOfRange; options are never stored clamped, folders
// never cut). Nothing is written anywhere, so a failure leaves every file as it was.
FileResult<ScheduleBytes> encodeSchedule(const TaskTable& tasks,
                                         const CodePage& codePage = windows1252CodePage());

}  // namespace kiv

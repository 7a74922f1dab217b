#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/local_time.h"

namespace kiv {

// A copy of a database is named by the database's name and the minute its
// run was due: "Orders 2027-03-28 0200.mdb" for Orders.mdb. A second copy
// in the same minute is "Orders 2027-03-28 0200 (2).mdb", and so on.
std::string backupCopyName(const std::string& databaseName, LocalTime due, int attempt);

// Of the names in a backup folder, those that are copies of `databaseName`,
// the newest first. Anything else there is no concern of Kiv's.
std::vector<std::string> backupCopiesOf(const std::vector<std::string>& names,
                                        const std::string& databaseName);

// The copies beyond the `keep` newest, which are removed.
std::vector<std::string> copiesBeyond(const std::vector<std::string>& names,
                                      const std::string& databaseName, std::size_t keep);

}  // namespace kiv

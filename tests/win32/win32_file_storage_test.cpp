#include "win32_file_storage.h"

#include "support/file_storage_contract.h"

namespace kiv::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileStorageContract, Win32FileStorage);

}  // namespace kiv::testing

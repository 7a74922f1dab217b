#include "unique_handle.h"

#include <gtest/gtest.h>

#include <utility>

namespace kiv {
namespace {

bool isOpen(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE newEvent() {
  return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

TEST(UniqueHandle, ClosesOnceAndHandsOverOnMove) {
  const HANDLE a = newEvent();
  const HANDLE b = newEvent();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  {
    UniqueHandle first(a);
    UniqueHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), a);
    UniqueHandle third(b);
    third = std::move(second);  // b closes here
    EXPECT_EQ(third.get(), a);
    EXPECT_FALSE(isOpen(b));
    EXPECT_TRUE(isOpen(a));
  }
  EXPECT_FALSE(isOpen(a));
}

TEST(UniqueHandle, BothSpellingsOfNoHandleAreNone) {
  EXPECT_FALSE(UniqueHandle());
  EXPECT_FALSE(UniqueHandle(nullptr));
  EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE));
  const UniqueHandle missing(CreateFileW(L"C:\\kiv-no-such-folder\\file", GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_FALSE(missing);
}

}  // namespace
}  // namespace kiv

#include <gtest/gtest.h>

#include "windows_api.h"

#include <shellapi.h>

#include <filesystem>
#include <fstream>

#include "dialog_answerer.h"
#include "help_document.h"
#include "wide_text.h"

namespace kiv {
namespace {

TEST(HelpDocument, OpensAtTheSectionOfTheHelpContext) {
  const std::string document = R"(C:\Program Files\Kiv\kiv-help.html)";
  const std::string url = "file:///C:/Program%20Files/Kiv/kiv-help.html";
  EXPECT_EQ(helpUrl(document, 1), url + "#schedule");
  EXPECT_EQ(helpUrl(document, 2), url + "#task");
  EXPECT_EQ(helpUrl(document, 0), url);
  EXPECT_EQ(helpUrl(document, 3), url);
}

TEST(HelpDocument, IsBesideTheProgram) {
  wchar_t program[MAX_PATH] = {};
  const std::wstring path(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
  EXPECT_EQ(helpDocumentBesideProgram(),
            fromWide(path.substr(0, path.find_last_of(L'\\') + 1)) + "kiv-help.html");
}

TEST(HelpDocument, AFailureNamesTheDocumentAndWhatTheShellAnswered) {
  const std::string document = R"(C:\Kiv\kiv-help.html)";
  struct Case {
    INT_PTR result;
    const char* reason;
  };
  for (const Case& c : {
           Case{SE_ERR_NOASSOC, "no program is registered to open files of its type"},
           Case{SE_ERR_FNF, "the file was not found"},
           Case{SE_ERR_ACCESSDENIED, "access to it was denied"},
           Case{0, "the system is out of memory or resources"},
           Case{19, "the shell answered 19"},
       }) {
    EXPECT_EQ(helpFailureMessage(document, c.result), "The help document " + document +
                                                          " could not be opened: " + c.reason +
                                                          ". Open it in a web browser.");
  }
}

TEST(HelpDocument, ADocumentNoProgramOpensIsReportedWithTheShellsReason) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  // A file type that no program is registered for.
  const std::string document = fromWide(folder) + "kiv-help.kivnoprogram";
  std::ofstream(std::filesystem::path(toWide(document))) << "<html></html>";
  std::string message;
  testing::DialogAnswerer user("#32770", "Kiv", [&](HWND box) {
    message = testing::dialogItemText(box, testing::kMessageBoxText);
    testing::pressButton(box, IDOK);
  });
  openHelpDocument(nullptr, document, 1);
  ASSERT_TRUE(user.answered());
  EXPECT_EQ(message, helpFailureMessage(document, SE_ERR_NOASSOC));
  DeleteFileW(toWide(document).c_str());
}

}  // namespace
}  // namespace kiv

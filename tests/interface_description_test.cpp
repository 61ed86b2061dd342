// The interface description (src/api/interface.json) against the header,
// the export map and the library: the generated static assertions hold the
// header's functions, records and codes to it at compile time; the tests
// below read the header's text for the argument names and for anything the
// description leaves out, and the library for its built-in copy and its
// messages.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "moravel/api.h"
#include "moravel/interface_check.h"
#include "moravel/interface_table.h"

namespace {

namespace described = moravel::described;

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The header without comments and with every run of white space one blank.
std::string HeaderDeclarations() {
  const std::string text = ReadFile(MORAVEL_API_HEADER);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "/*") == 0) {
      i = text.find("*/", i + 2);
      if (i == std::string::npos) break;
      ++i;
      out += ' ';
    } else if (text.compare(i, 2, "//") == 0) {
      i = text.find('\n', i);
      if (i == std::string::npos) break;
      out += ' ';
    } else {
      out += text[i];
    }
  }
  out = std::regex_replace(out, std::regex("\\s+"), " ");
  out = std::regex_replace(out, std::regex("\\( "), "(");
  return std::regex_replace(out, std::regex(" \\)"), ")");
}

TEST(InterfaceDescription, ListsEveryPrototypeOfTheHeaderAsDeclared) {
  const std::string header = HeaderDeclarations();
  std::map<std::string, std::string> declared;  // name -> "returns(arguments)"
  const std::regex prototype(
      "MORAVEL_API ([a-z_ ]+\\*?) (moravel_[a-z_0-9]+)\\(([^)]*)\\) MORAVEL_NOEXCEPT;");
  for (std::sregex_iterator it(header.begin(), header.end(), prototype), end; it != end; ++it) {
    declared[(*it)[2]] = std::string((*it)[1]) + "(" + std::string((*it)[3]) + ")";
  }
  ASSERT_GT(declared.size(), 40u) << "the header's prototypes were not found";
  std::map<std::string, std::string> listed;
  for (const described::Entry& e : described::kEntries) {
    listed[e.name] = std::string(e.returns) + "(" + e.arguments + ")";
  }
  EXPECT_EQ(declared, listed);
}

TEST(InterfaceDescription, ListsEveryRecordFieldOfTheHeaderInOrder) {
  const std::string header = HeaderDeclarations();
  std::vector<std::string> declared;
  const std::regex record("typedef struct [a-z_]+ \\{([^}]*)\\} (moravel_[a-z_]+);");
  const std::regex field("([a-z0-9_]+) ([a-z_]+);");
  for (std::sregex_iterator it(header.begin(), header.end(), record), end; it != end; ++it) {
    const std::string body = (*it)[1];
    for (std::sregex_iterator f(body.begin(), body.end(), field); f != end; ++f) {
      declared.push_back(std::string((*it)[2]) + " " + std::string((*f)[1]) + " " +
                         std::string((*f)[2]));
    }
  }
  std::vector<std::string> listed;
  for (const described::Field& f : described::kFields) {
    listed.push_back(std::string(f.record) + " " + f.declaration);
  }
  EXPECT_EQ(declared, listed);
}

TEST(InterfaceDescription, ListsEveryStatusCodeOfTheHeader) {
  const std::string header = HeaderDeclarations();
  const auto from = header.find("typedef enum moravel_status {");
  const auto to = header.find("} moravel_status;", from);
  ASSERT_NE(to, std::string::npos);
  const std::string body = header.substr(from, to - from);
  std::map<std::string, int> declared;
  const std::regex code("(MORAVEL_[A-Z_]+) = ([0-9]+)");
  for (std::sregex_iterator it(body.begin(), body.end(), code), end; it != end; ++it) {
    declared[(*it)[1]] = std::stoi((*it)[2]);
  }
  std::map<std::string, int> listed;
  for (const described::Status& s : described::kStatuses) listed[s.name] = s.code;
  EXPECT_EQ(declared, listed);
}

TEST(InterfaceDescription, IsBuiltIntoTheLibraryAsWritten) {
  EXPECT_EQ(std::string(moravel_interface_description()), ReadFile(MORAVEL_INTERFACE_FILE));
}

TEST(InterfaceDescription, StatusMessagesAreTheSubjectAndTheMessage) {
  std::map<std::string, int> seen;
  for (const described::Status& s : described::kStatuses) {
    EXPECT_TRUE(seen.emplace(moravel_status_message(s.code), s.code).second)
        << s.name << " reads as another status";
    const std::string subject = s.subject;
    EXPECT_EQ(moravel_status_message(s.code),
              subject.empty() ? std::string(s.message) : subject + " " + s.message)
        << s.name;
  }
  EXPECT_STREQ(moravel_status_message(-1), "unknown status code");
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_EVERY_TRAFFIC_MEETS + 1),
               "unknown status code");
  EXPECT_STREQ(moravel_status_message(MORAVEL_ERROR_DIRECT_FORM_UNREACHABLE + 1),
               "unknown status code");
}

// The texts callers have read since the interface began stay as they were;
// a host that names the argument itself reads the message alone.
TEST(InterfaceDescription, KeepsTheLibrarysTexts) {
  struct Case {
    int code;
    const char* text;
  };
  const Case cases[] = {
      {MORAVEL_OK, "success"},
      {MORAVEL_ERROR_SERVERS, "servers must be at least 1"},
      {MORAVEL_ERROR_SERVERS_TOO_MANY, "servers must be below 2147483647"},
      {MORAVEL_ERROR_SOURCE_TRAFFIC, "traffic per source must be at least 0 and below 1"},
      {MORAVEL_ERROR_DIRECT_FORM_SERVERS, "servers must be between 0 and 170 in the direct form"},
      {MORAVEL_ERROR_TARGET, "target must be above 0 and below 1"},
      {MORAVEL_ERROR_UNREACHABLE, "no size below 2^31 - 1 meets the target"},
      {MORAVEL_ERROR_MODEL_LIMIT,
       "the input is beyond the sizes the model computes in bounded time"},
      {MORAVEL_ERROR_LEVEL, "confidence level must be above 0 and below 1"},
      {MORAVEL_ERROR_FIRST_SEED,
       "first seed must be at least 1 (0 would seed the runs from the clock)"},
      {MORAVEL_ERROR_REPLICATIONS, "an estimate needs the values of at least 2 replications"},
      {MORAVEL_ERROR_NOT_PROBABILITY, "a value is not a probability in [0, 1]"},
      {MORAVEL_ERROR_DIRECT_FORM_UNREACHABLE,
       "no servers up to 170 meet the target in the direct form"},
  };
  for (const Case& c : cases) EXPECT_STREQ(moravel_status_message(c.code), c.text) << c.code;
  const described::Status* servers = nullptr;
  for (const described::Status& s : described::kStatuses) {
    if (s.code == MORAVEL_ERROR_SOURCE_TRAFFIC) servers = &s;
  }
  ASSERT_NE(servers, nullptr);
  EXPECT_STREQ(servers->subject, "traffic per source");
  EXPECT_STREQ(servers->message, "must be at least 0 and below 1");
}

TEST(InterfaceDescription, ExportMapListsTheDescribedNames) {
  std::string expected;
  for (const char* name : described::kLegacyExports) expected += std::string(name) + ";";
  for (const char* name : described::kApiExports) expected += std::string(name) + ";";
  const std::string map = ReadFile(MORAVEL_EXPORT_MAP);
  std::string listed;
  const std::regex name("\\n    ([A-Za-z_0-9]+);");
  for (std::sregex_iterator it(map.begin(), map.end(), name), end; it != end; ++it) {
    listed += std::string((*it)[1]) + ";";
  }
  EXPECT_EQ(listed, expected);
}

}  // namespace

// Feeds arbitrary server replies to the update check: parsing looks at the first 1023 bytes only,
// a field is the text between its tags, and the report to the user always ends in one message.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/update_check.h"
#include "core/unattended_user_port.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const TUpdateReply parsed = ParseUpdateReply(reply);
  // Bytes past the limit never change the result.
  const TUpdateReply cut = ParseUpdateReply(std::string_view(reply).substr(0, kUpdateReplyLimit));
  Require(parsed.major == cut.major && parsed.minor == cut.minor && parsed.build == cut.build &&
          parsed.downloadLink == cut.downloadLink);
  Require(parsed.downloadLink.size() < kUpdateReplyLimit);
  if (auto link = ExtractUpdateField(reply, "dlink"))
    Require(link->empty() || reply.find(*link) != std::string::npos);

  TUnattendedUserPort user;
  int opened = 0;
  ReportUpdateCheck(reply, user, [&](const std::string&) { ++opened; });
  Require(opened == 0);  // the unattended port never answers Yes
  Require(!user.Lines().empty());
  return 0;
}

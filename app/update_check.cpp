#include "app/update_check.h"

#include <cstdlib>

#include "app/window_title.h"

namespace {

int IntegerField(std::string_view reply, std::string_view name) {
  auto value = ExtractUpdateField(reply, name);
  if (!value)
    return 0;
  return static_cast<int>(std::strtol(value->c_str(), nullptr, 10));
}

}  // namespace

std::optional<std::string> ExtractUpdateField(std::string_view reply, std::string_view name) {
  std::string open = "<" + std::string(name) + ">";
  std::string close = "</" + std::string(name) + ">";
  size_t start = reply.find(open);
  if (start != std::string_view::npos) {
    start += open.size();
    size_t end = reply.find(close, start);
    if (end == std::string_view::npos)
      return std::nullopt;
    return std::string(reply.substr(start, end - start));
  }
  if (reply.find("<" + std::string(name) + "/>") != std::string_view::npos)
    return std::string();
  return std::nullopt;
}

TUpdateReply ParseUpdateReply(std::string_view reply) {
  reply = reply.substr(0, kUpdateReplyLimit);
  TUpdateReply parsed;
  parsed.major = IntegerField(reply, "major");
  parsed.minor = IntegerField(reply, "minor");
  parsed.build = IntegerField(reply, "build");
  parsed.downloadLink = ExtractUpdateField(reply, "dlink").value_or("");
  return parsed;
}

bool IsNewerVersion(const TUpdateReply& reply) {
  if (reply.major != TProgramVersion::kMajor)
    return reply.major > TProgramVersion::kMajor;
  if (reply.minor != TProgramVersion::kMinor)
    return reply.minor > TProgramVersion::kMinor;
  return reply.build > TProgramVersion::kBuild;
}

void ReportUpdateCheck(const std::optional<std::string>& reply, TUserPort& user,
                       const std::function<void(const std::string&)>& openLink) {
  const std::string caption = "Check for Updates";
  if (!reply || reply->empty()) {
    user.Tell(caption,
              "Quenbrook encountered an error while trying to check for updates.\n\nBe sure that "
              "you are connected to the Internet and that your firewall is configured to allow "
              "Quenbrook to make the connection.",
              TMessageIcon::Error);
    return;
  }
  TUpdateReply parsed = ParseUpdateReply(*reply);
  if (IsNewerVersion(parsed)) {
    std::string text = "New version " + std::to_string(parsed.major) + "." +
                       std::to_string(parsed.minor) + " Build " + std::to_string(parsed.build) +
                       " is available.\n\nWould you like to go online now to download the update?";
    if (user.Ask(caption, text, TMessageButtons::YesNo, TMessageIcon::Question) ==
        TMessageAnswer::Yes) {
      openLink(parsed.downloadLink);
    }
    return;
  }
  user.Tell(caption,
            "You have version " + std::to_string(TProgramVersion::kMajor) + "." +
                std::to_string(TProgramVersion::kMinor) + " Build " +
                std::to_string(TProgramVersion::kBuild) + ", which is the most current version.",
            TMessageIcon::Information);
}

bool UpdateReminderDue(TDateValue lastCheck, uint32_t intervalDays, TDateValue today) {
  if (intervalDays == 0)
    return false;
  TDateValue due = lastCheck;
  for (uint32_t day = 0; day < intervalDays; ++day) {
    due = due.NextDay();
    // Past today the answer cannot change; stop rather than walk a long interval to its end.
    if (due > today)
      return false;
  }
  return !(due > today);
}

bool AskUpdateReminder(TUserPort& user) {
  return user.Ask("Check for Updates",
                  "Would you like to go online now to check for Quenbrook updates?\n\nThis "
                  "reminder can be disabled in the main configuration by setting the Check "
                  "interval to 0 days.\n\nYou can check for updates at any time by selecting it "
                  "under the Help menu.",
                  TMessageButtons::YesNo, TMessageIcon::None) == TMessageAnswer::Yes;
}

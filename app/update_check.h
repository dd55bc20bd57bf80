#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/date_value.h"
#include "core/user_port.h"

/// The request path on the update server.
inline constexpr const char* kUpdateRequestPath = "/secure/updates.aspx?lnk=32&product=vorla";
/// The agent name the request carries.
inline constexpr const char* kUpdateAgent = "VorlaUpdate";
/// The most of a reply that is looked at.
inline constexpr size_t kUpdateReplyLimit = 1023;

/// The version fields of an update reply; missing or non-numeric fields read as 0.
struct TUpdateReply {
  int major = 0;
  int minor = 0;
  int build = 0;
  std::string downloadLink;
};

/// The value of the element `name` in a reply: the text between its first opening tag and the
/// first closing tag after it; empty for an empty-element tag; nothing when the field is missing.
std::optional<std::string> ExtractUpdateField(std::string_view reply, std::string_view name);

/// Reads the version fields from the first 1023 bytes of a reply.
TUpdateReply ParseUpdateReply(std::string_view reply);

/// Whether the reply names a newer version than this program's.
bool IsNewerVersion(const TUpdateReply& reply);

/// Tells the user the outcome of an update request: an error when nothing was read, the offer
/// to open the download page for a newer version (`openLink` is called on Yes), else that this
/// version is current.
void ReportUpdateCheck(const std::optional<std::string>& reply, TUserPort& user,
                       const std::function<void(const std::string&)>& openLink);

/// Whether the periodic reminder is due: the last check plus `intervalDays` days (stepped day by
/// day through the calendar) is not after today. An interval of 0 is never due.
bool UpdateReminderDue(TDateValue lastCheck, uint32_t intervalDays, TDateValue today);

/// Asks whether to check for updates now; the reminder text of the program.
bool AskUpdateReminder(TUserPort& user);

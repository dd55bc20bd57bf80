#pragma once

#include <QSslConfiguration>
#include <QString>
#include <optional>
#include <string>

class TSettingList;

/// The named setting that holds the update server: a host name, optionally followed by ":port".
inline constexpr const char* kUpdateServerSetting = "update.Server";
/// The maker's update server when the setting is absent.
inline constexpr const char* kDefaultUpdateServer = "www.quenbrook.org";
/// How long the blocking request may take before it counts as failed.
inline constexpr int kUpdateTimeoutMs = 30000;

/// Where the update request goes.
struct TUpdateServer {
  QString host;
  quint16 port = 443;
};

/// The server named by the configuration's setting "update.Server" (scope 0), or the default.
/// A port that is not a number from 1 to 65535 leaves the standard HTTPS port.
TUpdateServer UpdateServerFromSettings(const TSettingList& settings);

/// Asks the update server for the current version over HTTPS (agent "VorlaUpdate", nothing
/// cached, certificates checked against `tls`), blocking the caller in a local event loop that
/// takes no user input. Gives at most the first 1023 bytes of the reply; nothing when no byte
/// was read, the server answered with an error status, or `timeoutMs` passed.
std::optional<std::string> FetchUpdateReply(const TUpdateServer& server,
                                            const QSslConfiguration& tls, int timeoutMs);

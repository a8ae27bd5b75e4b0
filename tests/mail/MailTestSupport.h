#pragma once

#include <QByteArray>

#include "../services/ServiceTestSupport.h"

namespace MailTest {

// A server's reply to TOP or RETR around the message text: the status line
// and the end marker.
inline QByteArray Reply(const QByteArray& message) { return "+OK message follows\r\n" + message + "\r\n.\r\n"; }

}  // namespace MailTest

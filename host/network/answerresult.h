#pragma once

#include "network/restclient.h"

#include <QByteArray>

namespace veltanetwork {

// What an exchange that got a whole HTTP answer reports: the status, the
// body, and the body's JSON object when it is one. Internal to
// libveltanetwork (and its fuzz target, which feeds it raw answers).
RestClient::Result answerResult(int httpStatus, int networkError, const QByteArray &body);

} // namespace veltanetwork

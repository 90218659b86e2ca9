#pragma once
// The account picture from the avatar service.

#include <string>

#include "service/endpoints.h"
#include "session/session.h"

namespace zarvex {

// A plain GET of the account's avatar address; the whole answer body, or empty bytes when the
// request fails, is cut short or is answered with an error status. Blocks the calling thread.
std::string fetch_avatar(const SessionRecord& session, const Endpoints& endpoints);

}  // namespace zarvex

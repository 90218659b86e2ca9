#include "ui/login/avatar_fetch.h"

#include "net/http.h"
#include "session/avatar_address.h"

namespace zarvex {

std::string fetch_avatar(const SessionRecord& session, const Endpoints& endpoints) {
  HttpOutcome outcome;
  std::string body = fetch_with_headers(avatar_address(endpoints.avatar, session.uin), {},
                                        endpoints.http, &outcome);
  // Part of a picture, or an error page, would only be drawn as a broken avatar.
  if (!outcome.answered || !outcome.error.empty() || outcome.status < 200 || outcome.status > 299)
    return {};
  return body;
}

}  // namespace zarvex

#pragma once

namespace tarvo::service {

// The "code" values of reply envelopes. 200 is the only success; browsers treat 403
// (no VPN rights) and 421 (no connection time left) specially and every other code
// as a plain failure.
inline constexpr int kCodeOk = 200;
inline constexpr int kCodeBadRequest = 400;
inline constexpr int kCodeUnauthorized = 401;
inline constexpr int kCodeForbidden = 403;
inline constexpr int kCodeNotFound = 404;
inline constexpr int kCodeMethodNotAllowed = 405;
inline constexpr int kCodeConflict = 409;
inline constexpr int kCodeTooLarge = 413;
inline constexpr int kCodeNoTimeLeft = 421;
inline constexpr int kCodeTooManyRequests = 429;
inline constexpr int kCodeServerError = 500;
inline constexpr int kCodeUnavailable = 503;

}  // namespace tarvo::service

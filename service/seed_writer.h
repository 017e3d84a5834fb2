#pragma once

#include <cstdint>

#include "seed_data.h"

namespace tarvo::service {

class PasswordHasher;
class ServiceDatabase;

// Stores checked seed data in one transaction; a failure leaves the previous data
// as it was.
//
// Brands, white lists, nodes and pages are replaced. Sites are compared with the
// stored ones, so clients that synchronise incrementally see the new, changed and
// removed sites. Seeded users are created or brought up to date (profile, rights,
// connection time, password) and keep their favourites; other users are kept.
// Open connections on nodes that no longer exist are closed.
//
// Any thread; takes the database lock itself. Throws ServiceError on failure.
void WriteSeed(ServiceDatabase& db, const SeedData& seed, const PasswordHasher& hasher, int64_t now);

}  // namespace tarvo::service

#include "seed_writer.h"

#include <filesystem>
#include <map>

#include "password_hasher.h"
#include "service_database.h"

namespace tarvo::service {

namespace {

void WriteBrands(DatabaseConnection& db, const SeedData& seed, int64_t now) {
  // A release keeps the time it was first published while the seed names the same
  // version and installer (the file name it is published under): its announcement
  // is dated by it.
  struct Release {
    std::string version;
    std::string installerName;
    int64_t releasedAt = 0;
  };
  std::map<std::string, Release> releases;
  auto stored = db.Prepare("SELECT name, version, installer_name, released_at FROM brands");
  while (stored.Step()) {
    releases[stored.Text(0)] = Release{stored.Text(1), stored.Text(2), stored.Int(3)};
  }
  db.Execute("DELETE FROM brands; DELETE FROM white_list; DELETE FROM settings WHERE key='default_brand'");
  for (const SeedData::Brand& brand : seed.brands) {
    const auto previous = releases.find(brand.name);
    const std::string installerName = std::filesystem::path(brand.installerPath).filename().string();
    const bool sameRelease = previous != releases.end() && previous->second.version == brand.version &&
                             previous->second.installerName == installerName;
    db.Prepare(
          "INSERT INTO brands(name, anonymous_vpn, anonymous_seconds, signup_vpn_seconds, default_favorites,"
          " version, installer_path, installer_name, released_at) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)")
        .Bind(1, brand.name)
        .Bind(2, brand.anonymousVpn ? 1 : 0)
        .Bind(3, brand.anonymousSeconds)
        .Bind(4, brand.signupVpnSeconds)
        .Bind(5, brand.defaultFavorites.ToText())
        .Bind(6, brand.version)
        .Bind(7, brand.installerPath)
        .Bind(8, installerName)
        .Bind(9, sameRelease ? previous->second.releasedAt : now)
        .Run();
    for (size_t i = 0; i < brand.whiteList.size(); ++i) {
      db.Prepare("INSERT INTO white_list(brand, position, domain) VALUES(?1, ?2, ?3)")
          .Bind(1, brand.name)
          .Bind(2, static_cast<int64_t>(i))
          .Bind(3, brand.whiteList[i])
          .Run();
    }
  }
  if (!seed.defaultBrand.empty()) {
    db.Prepare("INSERT INTO settings(key, value) VALUES('default_brand', ?1)").Bind(1, seed.defaultBrand).Run();
  }
}

void WriteNodes(DatabaseConnection& db, const SeedData& seed, int64_t now) {
  db.Execute("DELETE FROM nodes");
  for (size_t i = 0; i < seed.nodes.size(); ++i) {
    const SeedData::Node& node = seed.nodes[i];
    db.Prepare(
          "INSERT INTO nodes(id, position, country_id, country, area, ip, port, status, anonymous)"
          " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)")
        .Bind(1, node.id)
        .Bind(2, static_cast<int64_t>(i))
        .Bind(3, node.countryId)
        .Bind(4, node.countryJson)
        .Bind(5, node.areaJson)
        .Bind(6, node.ip)
        .Bind(7, node.port)
        .Bind(8, node.status)
        .Bind(9, node.anonymous ? 1 : 0)
        .Run();
  }
  db.Prepare("UPDATE connections SET closed_at=?1 WHERE closed_at IS NULL AND node_id NOT IN (SELECT id FROM nodes)")
      .Bind(1, now)
      .Run();
}

void WritePages(DatabaseConnection& db, const SeedData& seed) {
  db.Execute("DELETE FROM pages");
  for (const auto& [host, file] : seed.pages) {
    db.Prepare("INSERT INTO pages(host, file_path) VALUES(?1, ?2)").Bind(1, host).Bind(2, file).Run();
  }
  db.Execute("DELETE FROM icons");
  for (const auto& [name, file] : seed.icons) {
    db.Prepare("INSERT INTO icons(name, file_path) VALUES(?1, ?2)").Bind(1, name).Bind(2, file).Run();
  }
}

// Changes get a time later than every earlier change, even within the same second,
// so a client that synchronised at "max_time" never misses them.
int64_t ChangeTime(DatabaseConnection& db, int64_t now) {
  auto newest = db.Prepare("SELECT COALESCE(MAX(modified_at), 0) FROM sites");
  newest.Step();
  return std::max(now, newest.Int(0) + 1);
}

void WriteSites(DatabaseConnection& db, const SeedData& seed, int64_t now) {
  struct Stored {
    std::string fingerprint;
    bool deleted = false;
  };
  std::map<int64_t, Stored> stored;
  auto existing = db.Prepare("SELECT id, fingerprint, deleted FROM sites");
  while (existing.Step()) {
    stored[existing.Int(0)] = Stored{existing.Text(1), existing.Int(2) != 0};
  }
  const int64_t changeTime = ChangeTime(db, now);
  for (const SeedData::Site& site : seed.sites) {
    const auto previous = stored.find(site.id);
    int64_t createdAt = changeTime;
    if (previous != stored.end()) {
      const bool wasDeleted = previous->second.deleted;
      const bool unchanged = !wasDeleted && previous->second.fingerprint == site.fingerprint;
      stored.erase(previous);
      if (unchanged) {
        continue;
      }
      if (!wasDeleted) {
        auto created = db.Prepare("SELECT created_at FROM sites WHERE id=?1");
        created.Bind(1, site.id);
        created.Step();
        createdAt = created.Int(0);
      }
    }
    db.Prepare("DELETE FROM sites WHERE id=?1").Bind(1, site.id).Run();
    db.Prepare(
          "INSERT INTO sites(id, source_id, source_status, source_url, target_id, target_status,"
          " target_url, mirror_address, mirror_page, is_auth, is_sign, is_ensure, auth_icons, sign_grade,"
          " sign_grade_en, sign_code, sign_desc, sign_desc_en, ensure, ensure_en, fingerprint, created_at,"
          " modified_at, deleted) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16,"
          " ?17, ?18, ?19, ?20, ?21, ?22, ?23, 0)")
        .Bind(1, site.id)
        .Bind(2, site.sourceId)
        .Bind(3, site.sourceStatus)
        .Bind(4, site.sourceUrl)
        .Bind(5, site.targetId)
        .Bind(6, site.targetStatus)
        .Bind(7, site.targetUrl)
        .Bind(8, site.mirrorAddress)
        .Bind(9, site.mirrorPage)
        .Bind(10, site.isAuth)
        .Bind(11, site.isSign)
        .Bind(12, site.isEnsure)
        .Bind(13, site.authIconsJson)
        .Bind(14, site.signGrade)
        .Bind(15, site.signGradeEn)
        .Bind(16, site.signCode)
        .Bind(17, site.signDesc)
        .Bind(18, site.signDescEn)
        .Bind(19, site.ensure)
        .Bind(20, site.ensureEn)
        .Bind(21, site.fingerprint)
        .Bind(22, createdAt)
        .Bind(23, changeTime)
        .Run();
  }
  for (const auto& [id, left] : stored) {
    if (!left.deleted) {
      db.Prepare("UPDATE sites SET deleted=1, modified_at=?1 WHERE id=?2").Bind(1, changeTime).Bind(2, id).Run();
    }
  }
}

void WriteUsers(DatabaseConnection& db, const SeedData& seed, const std::map<std::string, std::string>& passwords,
                int64_t now) {
  for (const SeedData::User& user : seed.users) {
    auto existing = db.Prepare("SELECT id FROM users WHERE username=?1");
    existing.Bind(1, user.username);
    if (!existing.Step()) {
      auto defaults = db.Prepare("SELECT default_favorites FROM brands WHERE name=?1");
      defaults.Bind(1, user.brand);
      defaults.Step();
      const FavoritesDocument favorites = FavoritesDocument::FromText(defaults.Text(0));
      db.Prepare(
            "INSERT INTO users(username, brand, password, name, sex, status, profile_photo, user_group,"
            " select_permission, vpn_allowed, vpn_seconds, favorites, next_favorite_id, created_at)"
            " VALUES(?1, ?2, '', '', 0, 1, '', '', 0, 0, 0, ?3, ?4, ?5)")
          .Bind(1, user.username)
          .Bind(2, user.brand)
          .Bind(3, favorites.ToText())
          .Bind(4, favorites.LargestId() + 1)
          .Bind(5, now)
          .Run();
    }
    auto stored = db.Prepare("SELECT id, password FROM users WHERE username=?1");
    stored.Bind(1, user.username);
    if (stored.Step() && stored.Text(1) != passwords.at(user.username)) {
      // A new password ends every session and VPN connection of the old one.
      db.Prepare("DELETE FROM tokens WHERE user_id=?1").Bind(1, stored.Int(0)).Run();
      db.Prepare("UPDATE connections SET closed_at=?1 WHERE user_id=?2 AND closed_at IS NULL")
          .Bind(1, now)
          .Bind(2, stored.Int(0))
          .Run();
    }
    db.Prepare(
          "UPDATE users SET brand=?2, password=?3, name=?4, sex=?5, status=?6, profile_photo=?7, user_group=?8,"
          " select_permission=?9, vpn_allowed=?10, vpn_seconds=?11 WHERE username=?1")
        .Bind(1, user.username)
        .Bind(2, user.brand)
        .Bind(3, passwords.at(user.username))
        .Bind(4, user.name)
        .Bind(5, user.sex)
        .Bind(6, user.status)
        .Bind(7, user.profilePhoto)
        .Bind(8, user.userGroup)
        .Bind(9, user.selectPermission ? 1 : 0)
        .Bind(10, user.vpnAllowed ? 1 : 0)
        .Bind(11, user.vpnSeconds)
        .Run();
  }
}

}  // namespace

void WriteSeed(ServiceDatabase& db, const SeedData& seed, const PasswordHasher& hasher, int64_t now) {
  // Hashing is slow on purpose, so it happens before the transaction; a stored
  // record that still matches is kept rather than re-salted on every start.
  std::map<std::string, std::string> passwords;
  for (const SeedData::User& user : seed.users) {
    const std::string stored = db.Read([&](DatabaseConnection& reader) {
      auto query = reader.Prepare("SELECT password FROM users WHERE username=?1");
      query.Bind(1, user.username);
      return query.Step() ? query.Text(0) : std::string();
    });
    passwords[user.username] = hasher.Verify(user.password, stored) ? stored : hasher.MakeRecord(user.password);
  }
  // Replaces rows other writers read and change (users above all): alone.
  db.WriteAlone([&](DatabaseConnection& writer) {
    WriteBrands(writer, seed, now);
    WriteNodes(writer, seed, now);
    WritePages(writer, seed);
    WriteSites(writer, seed, now);
    WriteUsers(writer, seed, passwords, now);
  });
}

}  // namespace tarvo::service

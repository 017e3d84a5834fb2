#include "passwords/secret_service_keyring.h"

#include <libsecret/secret.h>

#include <algorithm>
#include <memory>

namespace tarvo {

namespace {

constexpr char kOrigin[] = "origin";
constexpr char kUsername[] = "username";
constexpr char kKind[] = "kind";
constexpr char kPageScheme[] = "page_scheme";
constexpr char kKindLogin[] = "login";
constexpr char kKindNever[] = "never";
constexpr char kSecure[] = "https";
constexpr char kInsecure[] = "http";

struct ErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};
struct TableDeleter {
  void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
struct ListDeleter {
  void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
struct ValueDeleter {
  void operator()(SecretValue* value) const { secret_value_unref(value); }
};
struct PasswordDeleter {
  void operator()(gchar* password) const { secret_password_free(password); }
};
using Error = std::unique_ptr<GError, ErrorDeleter>;
using Table = std::unique_ptr<GHashTable, TableDeleter>;

// The schema's name and attributes; libsecret reads it for every call.
struct Schema {
  explicit Schema(const std::string& schemaName) : name(schemaName) {
    schema.name = name.c_str();
    schema.flags = SECRET_SCHEMA_NONE;
    const char* attributes[] = {kOrigin, kUsername, kKind, kPageScheme};
    for (size_t i = 0; i < std::size(attributes); ++i) {
      schema.attributes[i] = {attributes[i], SECRET_SCHEMA_ATTRIBUTE_STRING};
    }
  }
  std::string name;
  SecretSchema schema{};
};

// The attributes an item is stored or looked for with; an empty text is left out
// (every item of the schema matches it).
struct Query {
  std::string origin;
  std::string username;
  std::string kind;
  std::string pageScheme;
  bool withUsername = false;  // match the user name even when it is empty

  // The table borrows the texts: the query must outlive the call it is given to.
  Table Attributes() const {
    Table table(g_hash_table_new(g_str_hash, g_str_equal));
    const auto put = [&table](const char* name, const std::string& value) {
      g_hash_table_insert(table.get(), const_cast<char*>(name), const_cast<char*>(value.c_str()));
    };
    if (!origin.empty()) put(kOrigin, origin);
    if (withUsername) put(kUsername, username);
    if (!kind.empty()) put(kKind, kind);
    if (!pageScheme.empty()) put(kPageScheme, pageScheme);
    return table;
  }
};

// No bus, nobody owning the Secret Service's name, or no answer in time: there is
// no keyring. A service that answers with an error (a locked collection whose
// prompt was dismissed, an access it denies) has refused.
KeyringResult Classify(const GError* error) {
  if (error->domain == G_IO_ERROR && error->code == G_IO_ERROR_DBUS_ERROR) return KeyringResult::kFailed;
  if (error->domain == G_DBUS_ERROR && error->code == G_DBUS_ERROR_ACCESS_DENIED) return KeyringResult::kFailed;
  if (error->domain == G_DBUS_ERROR || error->domain == G_IO_ERROR || error->domain == G_SPAWN_ERROR) {
    return KeyringResult::kUnavailable;
  }
  return KeyringResult::kFailed;
}

KeyringResult Outcome(GError* raw) {
  const Error error(raw);
  return error == nullptr ? KeyringResult::kDone : Classify(error.get());
}

std::string AttributeOf(GHashTable* attributes, const char* name) {
  const auto* value = static_cast<const char*>(g_hash_table_lookup(attributes, name));
  return value != nullptr ? value : std::string();
}

// The items of the schema matching `attributes`; loaded with their secrets when asked.
KeyringResult Search(const SecretSchema& schema, const Query& query, bool withSecrets,
                     std::unique_ptr<GList, ListDeleter>& items) {
  GError* raw = nullptr;
  const int flags = SECRET_SEARCH_ALL | (withSecrets ? SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS : 0);
  items.reset(secret_password_searchv_sync(&schema, query.Attributes().get(), static_cast<SecretSearchFlags>(flags),
                                           nullptr, &raw));
  return Outcome(raw);
}

KeyringResult Clear(const SecretSchema& schema, const Query& query) {
  GError* raw = nullptr;
  secret_password_clearv_sync(&schema, query.Attributes().get(), nullptr, &raw);
  return Outcome(raw);
}

KeyringResult Put(const SecretSchema& schema, const Query& query, const std::string& label, const std::string& secret) {
  GError* raw = nullptr;
  secret_password_storev_sync(&schema, query.Attributes().get(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                              secret.c_str(), nullptr, &raw);
  return Outcome(raw);
}

}  // namespace

SecretServiceKeyring::SecretServiceKeyring(const std::string& brand) : brand_(brand) {
  std::string lower = brand;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  schemaName_ = "org." + lower + ".Password";
}

KeyringResult SecretServiceKeyring::Store(const SavedLogin& login) {
  const Schema schema(schemaName_);
  Query query{WideToUtf8(login.origin), WideToUtf8(login.username), kKindLogin,
              login.fromSecurePage ? kSecure : kInsecure, true};
  const std::string label = brand_ + ": " + query.username + " @ " + query.origin;
  if (const KeyringResult stored = Put(schema.schema, query, label, WideToUtf8(login.password));
      stored != KeyringResult::kDone) {
    return stored;
  }
  // The keyring replaces an item whose attributes all match; one the same user saved
  // from a page of the other scheme is a second item, which goes now.
  query.pageScheme = login.fromSecurePage ? kInsecure : kSecure;
  return Clear(schema.schema, query);
}

KeyringResult SecretServiceKeyring::Find(const WString& origin, std::vector<SavedLogin>& logins) {
  const Schema schema(schemaName_);
  std::unique_ptr<GList, ListDeleter> items;
  if (const KeyringResult found = Search(schema.schema, Query{WideToUtf8(origin), {}, kKindLogin}, true, items);
      found != KeyringResult::kDone) {
    return found;
  }
  for (GList* at = items.get(); at != nullptr; at = at->next) {
    auto* item = static_cast<SecretRetrievable*>(at->data);
    const Table attributes(secret_retrievable_get_attributes(item));
    GError* raw = nullptr;
    const std::unique_ptr<SecretValue, ValueDeleter> secret(secret_retrievable_retrieve_secret_sync(item, nullptr, &raw));
    if (const KeyringResult read = Outcome(raw); read != KeyringResult::kDone) return read;
    const char* text = secret != nullptr ? secret_value_get_text(secret.get()) : nullptr;
    if (text == nullptr) continue;
    logins.push_back({origin, Utf8ToWide(AttributeOf(attributes.get(), kUsername)), Utf8ToWide(text),
                      AttributeOf(attributes.get(), kPageScheme) != kInsecure});
  }
  return KeyringResult::kDone;
}

KeyringResult SecretServiceKeyring::List(std::vector<SavedLogin>& logins, std::vector<WString>& neverOrigins) {
  const Schema schema(schemaName_);
  std::unique_ptr<GList, ListDeleter> items;
  if (const KeyringResult found = Search(schema.schema, Query{}, false, items); found != KeyringResult::kDone) {
    return found;
  }
  for (GList* at = items.get(); at != nullptr; at = at->next) {
    const Table attributes(secret_retrievable_get_attributes(static_cast<SecretRetrievable*>(at->data)));
    const WString origin = Utf8ToWide(AttributeOf(attributes.get(), kOrigin));
    const std::string kind = AttributeOf(attributes.get(), kKind);
    if (kind == kKindNever) {
      neverOrigins.push_back(origin);
    } else if (kind == kKindLogin) {
      logins.push_back({origin, Utf8ToWide(AttributeOf(attributes.get(), kUsername)), WString(),
                        AttributeOf(attributes.get(), kPageScheme) != kInsecure});
    }
  }
  return KeyringResult::kDone;
}

KeyringResult SecretServiceKeyring::Reveal(const WString& origin, const WString& username, WString& password) {
  const Schema schema(schemaName_);
  const Query query{WideToUtf8(origin), WideToUtf8(username), kKindLogin, {}, true};
  GError* raw = nullptr;
  const std::unique_ptr<gchar, PasswordDeleter> found(
      secret_password_lookupv_sync(&schema.schema, query.Attributes().get(), nullptr, &raw));
  if (const KeyringResult read = Outcome(raw); read != KeyringResult::kDone) return read;
  if (found == nullptr) return KeyringResult::kFailed;
  password = Utf8ToWide(found.get());
  return KeyringResult::kDone;
}

KeyringResult SecretServiceKeyring::Remove(const WString& origin, const WString& username) {
  return Clear(Schema(schemaName_).schema, Query{WideToUtf8(origin), WideToUtf8(username), kKindLogin, {}, true});
}

KeyringResult SecretServiceKeyring::MarkNever(const WString& origin) {
  const Query query{WideToUtf8(origin), {}, kKindNever};
  // The mark has nothing secret; the keyring wants a secret all the same.
  return Put(Schema(schemaName_).schema, query, brand_ + ": never save @ " + query.origin, "-");
}

KeyringResult SecretServiceKeyring::IsNever(const WString& origin, bool& never) {
  std::unique_ptr<GList, ListDeleter> items;
  const KeyringResult found = Search(Schema(schemaName_).schema, Query{WideToUtf8(origin), {}, kKindNever}, false, items);
  never = found == KeyringResult::kDone && items != nullptr;
  return found;
}

KeyringResult SecretServiceKeyring::UnmarkNever(const WString& origin) {
  return Clear(Schema(schemaName_).schema, Query{WideToUtf8(origin), {}, kKindNever});
}

KeyringResult SecretServiceKeyring::RemoveAll() { return Clear(Schema(schemaName_).schema, Query{}); }

}  // namespace tarvo

#include "passwords/secret_service_keyring.h"

#include <algorithm>
#include <memory>

#include "passwords/secret_library.h"

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
  void operator()(GList* list) const { g_list_free_full(list, SecretLibrary::Opened()->unrefObject); }
};
struct ValueDeleter {
  void operator()(SecretValue* value) const { SecretLibrary::Opened()->unrefValue(value); }
};
struct PasswordDeleter {
  void operator()(gchar* password) const { SecretLibrary::Opened()->freePassword(password); }
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
KeyringResult Classify(const SecretLibrary& secret, const GError* error) {
  const GQuark io = secret.ioErrors();
  const GQuark bus = secret.busErrors();
  if (error->domain == io && error->code == G_IO_ERROR_DBUS_ERROR) return KeyringResult::kFailed;
  if (error->domain == bus && error->code == G_DBUS_ERROR_ACCESS_DENIED) return KeyringResult::kFailed;
  if (error->domain == bus || error->domain == io || error->domain == G_SPAWN_ERROR) {
    return KeyringResult::kUnavailable;
  }
  return KeyringResult::kFailed;
}

KeyringResult Outcome(const SecretLibrary& secret, GError* raw) {
  const Error error(raw);
  return error == nullptr ? KeyringResult::kDone : Classify(secret, error.get());
}

std::string AttributeOf(GHashTable* attributes, const char* name) {
  const auto* value = static_cast<const char*>(g_hash_table_lookup(attributes, name));
  return value != nullptr ? value : std::string();
}

// The items of the schema matching `attributes`; loaded with their secrets when asked.
KeyringResult Search(const SecretLibrary& secret, const SecretSchema& schema, const Query& query, bool withSecrets,
                     std::unique_ptr<GList, ListDeleter>& items) {
  GError* raw = nullptr;
  const int flags = SECRET_SEARCH_ALL | (withSecrets ? SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS : 0);
  items.reset(
      secret.searchPasswords(&schema, query.Attributes().get(), static_cast<SecretSearchFlags>(flags), nullptr, &raw));
  return Outcome(secret, raw);
}

KeyringResult Clear(const SecretLibrary& secret, const SecretSchema& schema, const Query& query) {
  GError* raw = nullptr;
  secret.clearPasswords(&schema, query.Attributes().get(), nullptr, &raw);
  return Outcome(secret, raw);
}

KeyringResult Put(const SecretLibrary& secret, const SecretSchema& schema, const Query& query, const std::string& label,
                  const std::string& password) {
  GError* raw = nullptr;
  secret.storePassword(&schema, query.Attributes().get(), SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(),
                       nullptr, &raw);
  return Outcome(secret, raw);
}

}  // namespace

SecretServiceKeyring::SecretServiceKeyring(const std::string& brand) : brand_(brand) {
  std::string lower = brand;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  schemaName_ = "org." + lower + ".Password";
}

KeyringResult SecretServiceKeyring::Store(const SavedLogin& login) {
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  const Schema schema(schemaName_);
  Query query{WideToUtf8(login.origin), WideToUtf8(login.username), kKindLogin,
              login.fromSecurePage ? kSecure : kInsecure, true};
  const std::string label = brand_ + ": " + query.username + " @ " + query.origin;
  if (const KeyringResult stored = Put(*secret, schema.schema, query, label, WideToUtf8(login.password));
      stored != KeyringResult::kDone) {
    return stored;
  }
  // The keyring replaces an item whose attributes all match; one the same user saved
  // from a page of the other scheme is a second item, which goes now.
  query.pageScheme = login.fromSecurePage ? kInsecure : kSecure;
  return Clear(*secret, schema.schema, query);
}

KeyringResult SecretServiceKeyring::Find(const WString& origin, std::vector<SavedLogin>& logins) {
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  const Schema schema(schemaName_);
  std::unique_ptr<GList, ListDeleter> items;
  if (const KeyringResult found =
          Search(*secret, schema.schema, Query{WideToUtf8(origin), {}, kKindLogin}, true, items);
      found != KeyringResult::kDone) {
    return found;
  }
  for (GList* at = items.get(); at != nullptr; at = at->next) {
    auto* item = static_cast<SecretRetrievable*>(at->data);
    const Table attributes(secret->attributesOf(item));
    GError* raw = nullptr;
    const std::unique_ptr<SecretValue, ValueDeleter> value(secret->retrieveSecret(item, nullptr, &raw));
    if (const KeyringResult read = Outcome(*secret, raw); read != KeyringResult::kDone) return read;
    const char* text = value != nullptr ? secret->textOf(value.get()) : nullptr;
    if (text == nullptr) continue;
    logins.push_back({origin, Utf8ToWide(AttributeOf(attributes.get(), kUsername)), Utf8ToWide(text),
                      AttributeOf(attributes.get(), kPageScheme) != kInsecure});
  }
  return KeyringResult::kDone;
}

KeyringResult SecretServiceKeyring::List(std::vector<SavedLogin>& logins, std::vector<WString>& neverOrigins) {
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  const Schema schema(schemaName_);
  std::unique_ptr<GList, ListDeleter> items;
  if (const KeyringResult found = Search(*secret, schema.schema, Query{}, false, items);
      found != KeyringResult::kDone) {
    return found;
  }
  for (GList* at = items.get(); at != nullptr; at = at->next) {
    const Table attributes(secret->attributesOf(static_cast<SecretRetrievable*>(at->data)));
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
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  const Schema schema(schemaName_);
  const Query query{WideToUtf8(origin), WideToUtf8(username), kKindLogin, {}, true};
  GError* raw = nullptr;
  const std::unique_ptr<gchar, PasswordDeleter> found(
      secret->lookUpPassword(&schema.schema, query.Attributes().get(), nullptr, &raw));
  if (const KeyringResult read = Outcome(*secret, raw); read != KeyringResult::kDone) return read;
  if (found == nullptr) return KeyringResult::kFailed;
  password = Utf8ToWide(found.get());
  return KeyringResult::kDone;
}

KeyringResult SecretServiceKeyring::Remove(const WString& origin, const WString& username) {
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  return Clear(*secret, Schema(schemaName_).schema,
               Query{WideToUtf8(origin), WideToUtf8(username), kKindLogin, {}, true});
}

KeyringResult SecretServiceKeyring::MarkNever(const WString& origin) {
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  const Query query{WideToUtf8(origin), {}, kKindNever};
  // The mark has nothing secret; the keyring wants a secret all the same.
  return Put(*secret, Schema(schemaName_).schema, query, brand_ + ": never save @ " + query.origin, "-");
}

KeyringResult SecretServiceKeyring::IsNever(const WString& origin, bool& never) {
  never = false;
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  std::unique_ptr<GList, ListDeleter> items;
  const KeyringResult found =
      Search(*secret, Schema(schemaName_).schema, Query{WideToUtf8(origin), {}, kKindNever}, false, items);
  never = found == KeyringResult::kDone && items != nullptr;
  return found;
}

KeyringResult SecretServiceKeyring::UnmarkNever(const WString& origin) {
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  return Clear(*secret, Schema(schemaName_).schema, Query{WideToUtf8(origin), {}, kKindNever});
}

KeyringResult SecretServiceKeyring::RemoveAll() {
  const SecretLibrary* secret = SecretLibrary::Opened();
  if (secret == nullptr) return KeyringResult::kUnavailable;
  return Clear(*secret, Schema(schemaName_).schema, Query{});
}

}  // namespace tarvo

#include "net/payload_cipher.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// Made with: printf '%s' TEXT | openssl enc -aes-128-cbc -K <hex of the key>
//            -iv <hex of the IV> -base64 -A
// (padding adds a whole block to the empty and the 16-byte text; the longest one's
// base64 runs past a line's 64 characters without a break).
struct Vector {
  const char* plain;
  const char* cipher;
};
constexpr Vector kOpensslVectors[] = {
    {"", "WTUI2i0j5GnuAy3pKIHliA=="},
    {"0123456789abcdef", "cFN3mAUJl+3IXSxY+5YRGbl9QS/jvpShDT3l2sPxIDk="},
    {"https://example.com/", "3nZByzzx3jSA9A/Sue4v77ccSk25aMiezf8PF3PyLOw="},
    {"h\xc3\xa9llo w\xc3\xb6rld \xe4\xbd\xa0\xe5\xa5\xbd", "PF2gALulRtnfasF9sUuort/DkYFQbyhWIUplTmlqUlg="},
    {"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
     "V/lRSNeX/Ms5RRYdUJ5gnD+uFaCDn4nZabYdt6wHAVGsj8SYwxYVIa6CtcUWZx/oPuoxJpK+Oiqi2icNgSxQ2VbeXTCWcNeBOTGQwiLi2LqUO0k8"
     "z62fOiL/n1ewflXY7KnXWc1Sr/lHX9m0cimEpQ=="},
};

TEST(PayloadCipherTest, MatchesOpensslBothWays) {
  const PayloadCipher cipher;
  for (const Vector& vector : kOpensslVectors) {
    std::string out;
    ASSERT_EQ(cipher.EncryptText(vector.plain, out), 0);
    EXPECT_EQ(out, vector.cipher) << vector.plain;
    std::string back = "stale";
    ASSERT_EQ(cipher.DecryptText(vector.cipher, back), 0);
    EXPECT_EQ(back, vector.plain);
  }
}

TEST(PayloadCipherTest, WideTextRoundTrips) {
  const PayloadCipher cipher;
  const WString plain = u"https://\u4f60\u597d.example/\u00e9\U0001F600?q=\u0e44\u0e17\u0e22";
  WString encrypted;
  ASSERT_EQ(cipher.EncryptWide(plain, encrypted), 0);
  WString back;
  ASSERT_EQ(cipher.DecryptWide(encrypted, back), 0);
  EXPECT_EQ(back, plain);
}

TEST(PayloadCipherTest, MalformedInputGivesShortOrEmptyTextNeverAnError) {
  const PayloadCipher cipher;
  std::string plain = "stale";
  EXPECT_EQ(cipher.DecryptText("", plain), 0);
  EXPECT_EQ(plain, "");

  // Decoded lengths that are not whole blocks cannot come from our encryption.
  for (const char* text : {"AAAA", "QUJDREVGR0hJSktMTU5PUFFS", "WTUI2i0j5GnuAy3pKIHl"}) {
    plain = "stale";
    EXPECT_EQ(cipher.DecryptText(text, plain), 0) << text;
    EXPECT_EQ(plain, "") << text;
  }
  // Garbage: not base64 at all, or truncated, or a foreign ciphertext.
  for (const char* text : {"!!!!not base64!!!!", "WTUI2i0j5GnuAy3p#KIHliA==", "cFN3mAUJl+3IXSxY+5YRGbl9QS/jvpSh",
                           "AAAAAAAAAAAAAAAAAAAAAA=="}) {
    plain = "stale";
    EXPECT_EQ(cipher.DecryptText(text, plain), 0) << text;
    EXPECT_NE(plain, "stale") << text;
  }
  // A foreign block decrypts to whatever precedes its first zero byte, no more.
  EXPECT_EQ(cipher.DecryptText("AAAAAAAAAAAAAAAAAAAAAA==", plain), 0);
  EXPECT_EQ(plain.find('\0'), std::string::npos);
}

}  // namespace
}  // namespace tarvo

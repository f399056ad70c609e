#include "ui/list/expiry_colour.h"

#include <gtest/gtest.h>

namespace dvx {
namespace {

const DateTime kAfternoon{2024, 5, 10, 14, 30, 0};
const DateTime kMidnight{2024, 5, 10, 0, 0, 0};
const DateTime kJustAfterMidnight{2024, 5, 10, 0, 0, 1};

TEST(ExpiryColour, RelativeToNow) {
  EXPECT_EQ(expiryColour("2024/05/10", kAfternoon), kExpiredColour);  // today
  EXPECT_EQ(expiryColour("2023/01/01", kAfternoon), kExpiredColour);
  EXPECT_EQ(expiryColour("2024/05/11", kAfternoon), kExpiredColour);  // tomorrow: -0.4 is 0
  EXPECT_EQ(daysPastExpiry("2024/05/11", kAfternoon), 0);
  EXPECT_EQ(expiryColour("2024/05/12", kAfternoon), kExpiringSoonColour);  // 2 days ahead
  EXPECT_EQ(daysPastExpiry("2024/05/12", kAfternoon), -1);
  EXPECT_EQ(expiryColour("2024/06/10", kAfternoon), kExpiringSoonColour);  // 31 days: -30.4
  EXPECT_EQ(daysPastExpiry("2024/06/10", kAfternoon), -30);
  EXPECT_EQ(expiryColour("2024/06/11", kAfternoon), std::nullopt);
  EXPECT_EQ(expiryColour("2025/05/10", kAfternoon), std::nullopt);
}

TEST(ExpiryColour, ThirtyOneDaysAheadAtMidnightAndLater) {
  EXPECT_EQ(daysPastExpiry("2024/06/10", kMidnight), -31);
  EXPECT_EQ(expiryColour("2024/06/10", kMidnight), std::nullopt);
  EXPECT_EQ(expiryColour("2024/06/09", kMidnight), kExpiringSoonColour);
  EXPECT_EQ(expiryColour("2024/06/10", kJustAfterMidnight), kExpiringSoonColour);
  EXPECT_EQ(expiryColour("2024/05/10", kMidnight), kExpiredColour);
  EXPECT_EQ(expiryColour("2024/05/11", kMidnight), kExpiringSoonColour);  // exactly -1
}

TEST(ExpiryColour, UnreadableDatesAreRed) {
  for (const char* text : {"找不到", "", "无记录", "2015/2/29", " 2024/06/10", "2024-06-10T00:00"})
    EXPECT_EQ(expiryColour(text, kAfternoon), kExpiredColour) << text;
}

TEST(ExpiryColour, DaysCountLinearlyBeforeTheSerialOrigin) {
  const DateTime now{1850, 1, 1, 12, 0, 0};
  EXPECT_EQ(daysPastExpiry("1850/01/02", now), 0);
  EXPECT_EQ(daysPastExpiry("1850/01/03", now), -1);
  EXPECT_EQ(daysPastExpiry("1849/12/31", now), 1);
  EXPECT_EQ(daysPastExpiry("1900/01/01", DateTime{1899, 12, 1, 6, 0, 0}), -30);
}

TEST(ExpiryColour, StoredRegistrarCleaning) {
  EXPECT_EQ(cleanStoredRegistrar("：  GoDaddy "), "GoDaddy ");
  EXPECT_EQ(cleanStoredRegistrar("　 ：　万网：阿里云　"), "万网阿里云　");
  EXPECT_EQ(cleanStoredRegistrar("\t Name"), "\t Name");
  EXPECT_EQ(cleanStoredRegistrar("：："), "");
  EXPECT_EQ(cleanStoredRegistrar(""), "");
  // A lead byte A1 followed by another trail is not a space.
  EXPECT_EQ(cleanStoredRegistrar("\xA1\xA2x"), "\xA1\xA2x");
}

}  // namespace
}  // namespace dvx

// A parameter name the reader tolerates never makes a file that the reader
// then refuses (found by fuzzing the reader and writer together).
#include <gtest/gtest.h>

#include "repository/data_packet_io.h"

namespace korvo::repository {
namespace {

TEST(DataPacketParams, NamesThatAreNotXmlNamesAreWrittenReadably) {
  const QByteArray tolerated =
      "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>"
      "<FIELDS><FIELD attrname=\"A\" fieldtype=\"string\" WIDTH=\"3\"/></FIELDS>"
      "<PARAMS \\A=\"1\" LCID=\"1036\"/></METADATA><ROWDATA><ROW A=\"x\"/></ROWDATA></DATAPACKET>";
  const DataPacket packet = readDataPacket(tolerated, "tolerated.xml");
  const DataPacket again = readDataPacket(writeDataPacket(packet), "written.xml");
  ASSERT_EQ(again.params.size(), 2);
  EXPECT_EQ(again.params[0].first, "_A");
  EXPECT_EQ(again.params[0].second, "1");
  EXPECT_EQ(again.params[1], (QPair<QString, QString>("LCID", "1036")));
}

}  // namespace
}  // namespace korvo::repository

// The lines of a saver's Properties: path, default value, key name and the
// flag group.
#include "rsPropSaver.h"

#include <gtest/gtest.h>

namespace {

TEST(PropSaverLineTest, LinesParseIntoPathDefaultKeyAndFlags) {
  using K = TrsProperty;
  const struct {
    const char* line;
    const char* path;
    const char* def;
    const char* key;  // as KeyName() gives it
    bool enabled;
    TrsProperty::TKind kind;
    TrsProperty::TDirection direction;
    bool encrypted;
  } rows[] = {
      {"Memo1.Font.Style", "Memo1.Font.Style", "", "Memo1.Font.Style", true, K::pkProperty, K::pdLoadSave, false},
      {"Panel7.Width,EPD", "Panel7.Width", "", "Panel7.Width", true, K::pkProperty, K::pdLoadSave, false},
      {"Panel7.Width,180,EPD", "Panel7.Width", "180", "Panel7.Width", true, K::pkProperty, K::pdLoadSave, false},
      {"Panel7.Width,\"180\",EPD", "Panel7.Width", "180", "Panel7.Width", true, K::pkProperty, K::pdLoadSave, false},
      {"Panel7.Width,\"180\",\"Width7\",EPD", "Panel7.Width", "180", "Width7", true, K::pkProperty, K::pdLoadSave,
       false},
      {"Panel7.Width,\"180\",\"Width7\",EPDC", "Panel7.Width", "180", "Width7", true, K::pkProperty, K::pdLoadSave,
       true},
      {"Width,\"\",\"W\",EPR", "Width", "", "W", true, K::pkProperty, K::pdLoadOnly, false},
      {"Panel7.Width,DPD", "Panel7.Width", "", "Panel7.Width", false, K::pkProperty, K::pdLoadSave, false},
      {"Panel7.Width,ePD", "Panel7.Width", "", "Panel7.Width", false, K::pkProperty, K::pdLoadSave, false},
      {"Edit2.Text,EVD", "Edit2.Text", "", "Edit2.Text", true, K::pkVoid, K::pdLoadSave, false},
      {"Edit2.Text,ECR", "Edit2.Text", "", "Edit2.Text", true, K::pkCustom, K::pdLoadOnly, false},
      {"Edit2.Text,EUW", "Edit2.Text", "", "Edit2.Text", true, K::pkUser, K::pdSaveOnly, false},
      {"Edit2.Text,EPWX", "Edit2.Text", "", "Edit2.Text", true, K::pkProperty, K::pdSaveOnly, false},
      // Without quotes the default runs to the flag group, commas and all.
      {"Edit2.Text,a,b,EPD", "Edit2.Text", "a,b", "Edit2.Text", true, K::pkProperty, K::pdLoadSave, false},
      {"Edit2.Text,\"a,b\",EPD", "Edit2.Text", "a,b", "Edit2.Text", true, K::pkProperty, K::pdLoadSave, false},
      {"Edit2.Text,,EPD", "Edit2.Text", "", "Edit2.Text", true, K::pkProperty, K::pdLoadSave, false},
      // A final comma without flags ends the path.
      {"Edit2.Text,", "Edit2.Text", "", "Edit2.Text", true, K::pkProperty, K::pdLoadSave, false},
      {"ab", "ab", "", "ab", true, K::pkProperty, K::pdLoadSave, false},
      {"", "", "", "", true, K::pkProperty, K::pdLoadSave, false},
      // Three letters after a comma are a flag group, whatever they say.
      {"a,bcd", "a", "", "a", false, K::pkProperty, K::pdLoadSave, false},
      {"Memo1.Font.Name,\"Tahoma\",EPD", "Memo1.Font.Name", "Tahoma", "Memo1.Font.Name", true, K::pkProperty,
       K::pdLoadSave, false},
  };
  TrsProperty p;
  for (const auto& r : rows) {
    // One object parses every line: nothing of a line may stick to the next.
    p.Parse(QString::fromUtf8(r.line));
    SCOPED_TRACE(r.line);
    EXPECT_EQ(p.Path.toStdString(), r.path);
    EXPECT_EQ(p.DefaultValue.toStdString(), r.def);
    EXPECT_EQ(p.KeyName().toStdString(), r.key);
    EXPECT_EQ(p.Enabled, r.enabled);
    EXPECT_EQ(p.Kind, r.kind);
    EXPECT_EQ(p.Direction, r.direction);
    EXPECT_EQ(p.Encrypted, r.encrypted);
  }
}

}  // namespace

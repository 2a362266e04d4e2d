// The installer's registry entries from a registrar script: every key and
// value of the script arrives as the installer writes it, literal text stays
// literal through the installer's formatting, and what the installer cannot
// express the same way as registration is refused rather than dropped.
#include "wix_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::tools {
namespace {

WixRegistry convert(const std::string& script) {
    return wixRegistryValues(script, {{"MODULE", "[#VelmoraDll]"}, {"HELPDIR", "[INSTALLDIR]"}});
}

TEST(WixRegistry, WritesEveryValueWithItsFullKeyPath) {
    const WixRegistry r = convert(R"(HKCR
{
	Some.Class = s 'A Class'
	{
		CLSID = s '{5A9A80BF-8271-429F-8CA6-281DA8715C59}'
	}
	NoRemove CLSID
	{
		ForceRemove {5A9A80BF-8271-429F-8CA6-281DA8715C59} = s 'A Class'
		{
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'both'
				val Count = d '0x10'
			}
		}
	}
})");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(
        r.elements,
        "<RegistryValue Root=\"HKCR\" Key=\"Some.Class\" Type=\"string\" Value=\"A Class\"/>\n"
        "<RegistryValue Root=\"HKCR\" Key=\"Some.Class\\CLSID\" Type=\"string\" "
        "Value=\"[\\{]5A9A80BF-8271-429F-8CA6-281DA8715C59[\\}]\"/>\n"
        "<RegistryValue Root=\"HKCR\" Key=\"CLSID\\{5A9A80BF-8271-429F-8CA6-281DA8715C59}\" "
        "Type=\"string\" Value=\"A Class\"/>\n"
        "<RegistryValue Root=\"HKCR\" "
        "Key=\"CLSID\\{5A9A80BF-8271-429F-8CA6-281DA8715C59}\\InprocServer32\" "
        "Type=\"string\" Value=\"[#VelmoraDll]\"/>\n"
        "<RegistryValue Root=\"HKCR\" "
        "Key=\"CLSID\\{5A9A80BF-8271-429F-8CA6-281DA8715C59}\\InprocServer32\" "
        "Name=\"ThreadingModel\" Type=\"string\" Value=\"both\"/>\n"
        "<RegistryValue Root=\"HKCR\" "
        "Key=\"CLSID\\{5A9A80BF-8271-429F-8CA6-281DA8715C59}\\InprocServer32\" "
        "Name=\"Count\" Type=\"integer\" Value=\"16\"/>\n");
}

TEST(WixRegistry, KeepsLiteralTextLiteralThroughTheInstallersFormatting) {
    const WixRegistry r = convert(R"(HKLM
{
	Key[1] = s '#1 [NAME] & <x> "q" it''s'
	{
		val Dir = s '%HELPDIR%help [%%]'
	}
})");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.elements,
              "<RegistryValue Root=\"HKLM\" Key=\"Key[\\[]1[\\]]\" Type=\"string\" "
              "Value=\"##1 [\\[]NAME[\\]] &amp; &lt;x&gt; &quot;q&quot; it's\"/>\n"
              "<RegistryValue Root=\"HKLM\" Key=\"Key[\\[]1[\\]]\" Name=\"Dir\" Type=\"string\" "
              "Value=\"[INSTALLDIR]help [\\[]%[\\]]\"/>\n");
}

TEST(WixRegistry, RefusesWhatTheInstallerWouldWriteDifferently) {
    EXPECT_FALSE(convert("HKCR\n{\n\tDelete Old.Class\n}\n").ok);
    EXPECT_FALSE(convert("HKCR\n{\n\tEmpty.Key\n}\n").ok);
    EXPECT_FALSE(convert("HKXX\n{\n\tA = s 'b'\n}\n").ok);
    EXPECT_FALSE(convert("HKCR\n{\n\tA = s '%UNKNOWN%'\n}\n").ok);
    EXPECT_FALSE(convert("HKCR\n{\n\tA = s 'unterminated\n}\n").ok);
}

TEST(WixRegistry, PassesOverContainerKeysThatRegistrationNeverRemoves) {
    const WixRegistry r = convert("HKCR\n{\n\tNoRemove CLSID\n}\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.elements, "");
}

} // namespace
} // namespace velmora::tools

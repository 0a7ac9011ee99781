#include <gtest/gtest.h>

#include "Classes.h"
#include "TestKit.h"

namespace {

// A component with a few properties of its own, streamed through the overridable pair.
class TProbe : public TComponent {
    VCL_CLASS(TProbe, TComponent)
public:
    using TComponent::TComponent;
    AnsiString Caption;
    Integer Width = 0;
    AnsiString FontName;
    AnsiString Data;
    TComponent* Images = nullptr;
    int LoadedCalls = 0;
    bool LoadingWhileReading = false;

    void WriteProperties(TWriter& W) override
    {
        W.WritePropName("Caption");
        W.WriteString(Caption);
        W.WritePropName("Width");
        W.WriteInteger(Width);
        W.BeginPropPath("Font");
        W.WritePropName("Name");
        W.WriteString(FontName);
        W.EndPropPath();
        W.WritePropName("Images");
        W.WriteReference(Images);
        if (!Data.empty()) {
            W.WritePropName("Items.Data");
            W.WriteBinary(Data.data(), static_cast<Integer>(Data.size()));
        }
    }
    bool ReadProperty(TReader& R, const AnsiString& Path) override
    {
        LoadingWhileReading = ComponentState().Contains(csLoading) && ComponentState().Contains(csReading);
        if (Path == "Caption")
            Caption = R.ReadString();
        else if (Path == "Width")
            Width = R.ReadInteger();
        else if (Path == "Font.Name")
            FontName = R.ReadString();
        else if (Path == "Items.Data") {
            TMemoryStream m;
            R.ReadBinary(m);
            Data.assign(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
        } else
            return false;
        return true;
    }
    void Loaded() override
    {
        ++LoadedCalls;
        TComponent::Loaded();
    }
};

class TProbeChild : public TProbe {
    VCL_CLASS(TProbeChild, TProbe)
public:
    using TProbe::TProbe;
};

std::string Short(const std::string& s) { return static_cast<char>(s.size()) + s; }

std::string Contents(TMemoryStream& m)
{
    return std::string(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
}

} // namespace

TEST(ComponentStreaming, WritesHeaderPropertiesAndEndMarkers)
{
    TComponent* form = Create<TComponent>(nullptr);
    form->SetName("ID_Vellorn");
    TComponent* images = Create<TComponent>(form);
    images->SetName("ImageList1");
    TProbe* probe = Create<TProbe>(form);
    probe->SetName("TreeView1");
    probe->Caption = "Дерево";
    probe->Width = 200;
    probe->FontName = "MS Sans Serif";
    probe->Images = images;

    TMemoryStream m;
    WriteComponentToStream(m, *probe);
    std::string expect = "TPF0" + Short("TProbe") + Short("TreeView1") + Short("Caption") + "\x06" +
                         Short("Дерево") + Short("Width") + std::string("\x03\xC8\x00", 3) +
                         Short("Font.Name") + "\x06" + Short("MS Sans Serif") + Short("Images") + "\x07" +
                         Short("ID_Vellorn.ImageList1") + std::string("\0\0", 2);
    EXPECT_EQ(Contents(m), expect);
    EXPECT_FALSE(probe->ComponentState().Contains(csWriting));

    // A component owned by the one being written is referred to by its name alone; none is nil.
    TComponent* own = Create<TComponent>(probe);
    own->SetName("Own");
    probe->Images = own;
    TMemoryStream r;
    WriteComponentToStream(r, *probe);
    EXPECT_NE(Contents(r).find(Short("Images") + "\x07" + Short("Own") + std::string("\0\0", 2)), std::string::npos);
    TMemoryStream n;
    TWriter w(n);
    w.WriteReference(own);
    w.WriteReference(nullptr);
    EXPECT_EQ(Contents(n), "\x07" + Short("TreeView1.Own") + "\x0D");
    form->Free();
}

TEST(ComponentStreaming, ReadsBackAndSkipsUnknownProperties)
{
    TProbe* src = Create<TProbe>(nullptr);
    src->SetName("TreeView1");
    src->Caption = std::string(600, 'c');
    src->Width = -70000;
    src->FontName = "Arial";
    src->Data = std::string("\0\1\2", 3);

    testkit::TempDir dir;
    {
        TFileStream f(dir / "t.vlt", fmCreate);
        WriteComponentToStream(f, *src);
    }
    TProbe* dst = Create<TProbe>(nullptr);
    {
        TFileStream f(dir / "t.vlt", fmOpenRead);
        ReadComponentFromStream(f, *dst);
    }
    EXPECT_EQ(dst->Caption, src->Caption);
    EXPECT_EQ(dst->Width, -70000);
    EXPECT_EQ(dst->FontName, "Arial");
    EXPECT_EQ(dst->Data, src->Data);
    EXPECT_EQ(dst->Name(), "") << "the stored name is not applied";
    EXPECT_EQ(dst->LoadedCalls, 1);
    EXPECT_TRUE(dst->LoadingWhileReading);
    EXPECT_FALSE(dst->ComponentState().Contains(csLoading));
    EXPECT_FALSE(dst->ComponentState().Contains(csReading));

    // "Images" (a reference) is unknown to ReadProperty and skipped; a stream of a descendant's
    // ancestor class is accepted.
    TProbeChild* child = Create<TProbeChild>(nullptr);
    TMemoryStream m;
    WriteComponentToStream(m, *src);
    m.SetPosition(0);
    ReadComponentFromStream(m, *child);
    EXPECT_EQ(child->FontName, "Arial");
    EXPECT_EQ(m.Position(), m.Size());
    src->Free();
    dst->Free();
    child->Free();
}

TEST(ComponentStreaming, ReadsAnyClassNameAndLeavesLoadingOnDamage)
{
    TProbeChild* src = Create<TProbeChild>(nullptr);
    src->Caption = "x";
    TMemoryStream m;
    WriteComponentToStream(m, *src);
    // The stored class name is not checked: a plain probe reads a child probe's stream.
    TProbe* plain = Create<TProbe>(nullptr);
    m.SetPosition(0);
    ReadComponentFromStream(m, *plain);
    EXPECT_EQ(plain->Caption, "x");

    // Cut before the end markers: read error, the state flags are cleared, no Loaded.
    m.SetSize(m.Size() - 2);
    m.SetPosition(0);
    EXPECT_EQ(testkit::Refusal<EReadError>([&] { ReadComponentFromStream(m, *src); }), "Stream read error");
    EXPECT_EQ(src->LoadedCalls, 0);
    EXPECT_FALSE(src->ComponentState().Contains(csLoading));
    EXPECT_FALSE(src->ComponentState().Contains(csReading));

    // A child component entry in place of the end of the child list is refused as a wrong value.
    TMemoryStream c;
    WriteComponentToStream(c, *src);
    c.SetSize(c.Size() - 1);
    c.Seek(0, soFromEnd);
    std::string childEntry = Short("TProbe") + Short("X") + std::string("\0\0", 2);
    c.WriteBuffer(childEntry.data(), static_cast<Integer>(childEntry.size()));
    c.SetPosition(0);
    EXPECT_EQ(testkit::Refusal<EReadError>([&] { ReadComponentFromStream(c, *src); }), "Invalid property value");
    src->Free();
    plain->Free();
}

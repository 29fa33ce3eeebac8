#include "localisation/International.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "LocalisationTestSupport.h"
#include "app/MainLayout.h"
#include "platform/AnsiString.h"
#include "settings/IniFile.h"
#include "settings/OptionLayout.h"

namespace {

// A form of the program with a localiser over Resource.ini in a private folder, created the
// way the program creates it: constructor (localiser made), then the creation handler, which
// ends with the localiser.
class LocalisedForm {
public:
    explicit LocalisedForm(const FormLayout& layout, std::function<void(MemoryForm&)> ownCreate = {})
        : form(layout), design(Snapshot(form)), ownCreate_(std::move(ownCreate)) {
        localiser = std::make_unique<QInternational>(&form, folder.Path() + PathDelimiter());
    }
    // Writes Resource.ini (bytes as given), raises the creation event, and returns what changed.
    std::vector<std::string> CreateWith(const std::string& resourceIni) {
        WriteTestFile(folder.File("Resource.ini"), resourceIni);
        return Create();
    }
    std::vector<std::string> Create() {
        if (ownCreate_) ownCreate_(form);
        localiser->Localise();
        return Changes(design, Snapshot(form));
    }
    std::string CaptionOf(const std::string& name) { return form.Find(name)->Caption(); }

    TempDir folder;
    MemoryForm form;
    std::vector<std::string> design;
    std::unique_ptr<QInternational> localiser;

private:
    std::function<void(MemoryForm&)> ownCreate_;
};

TEST(QInternational, DefaultsAreTheExecutablesResourceIniAndTheFormsSection) {
    MemoryForm form(kMainFormLayout);
    QInternational localiser(&form);
    const std::string exe = ExecutablePath();
    EXPECT_EQ(localiser.FileName(), exe.substr(0, LastPathDelimiter(exe) + 1) + "Resource.ini");
    EXPECT_EQ(localiser.Section(), "fmMain");
}

TEST(QInternational, NothingIsReplacedBeforeTheCreationEvent) {
    LocalisedForm f(kMainFormLayout);
    WriteTestFile(f.folder.File("Resource.ini"), "[fmMain]\r\nbtnSave_caption=Save\r\n");
    EXPECT_EQ(Snapshot(f.form), f.design);
    EXPECT_EQ(f.Create(), std::vector<std::string>{"btnSave.caption=Save"});
}

TEST(QInternational, ACaptionWithBlanksOnBothSidesIsTrimmedAndNothingElseChanges) {
    LocalisedForm f(kMainFormLayout);
    EXPECT_EQ(f.CreateWith("[fmMain]\r\nfmMain_caption=  \t Screen Capture 2 \t \r\n"),
              std::vector<std::string>{"fmMain.caption=Screen Capture 2"});
}

TEST(QInternational, AFileOverTheSizeCapLeavesTheDesignTexts) {
    LocalisedForm f(kMainFormLayout);
    EXPECT_TRUE(
        f.CreateWith("[fmMain]\r\nfmMain_caption=Big\r\n[pad]\r\n" + std::string(kMaxIniFileBytes, ';')).empty());
}

TEST(QInternational, EmptyOrBlankValuesLeaveTheDesignTexts) {
    LocalisedForm f(kMainFormLayout);
    EXPECT_EQ(f.CreateWith("[fmMain]\r\nbtnSave_caption=\r\nbtnPrint_caption=   \t\r\nfmMain_caption=\r\n"
                           "edtWidth_text= \r\nbtnSave_hint=\r\n"),
              std::vector<std::string>{});
    EXPECT_EQ(f.CaptionOf("btnSave"), Ansi("保存"));
}

TEST(QInternational, TheFormsOwnCreationHandlerRunsFirstAndATextKeyOverridesWhatItSet) {
    std::vector<std::string> seen;
    LocalisedForm f(kMainFormLayout, [&seen](LocalisableForm& sender) {
        // What the main window's creation does: fill the edit boxes from the settings.
        auto& form = dynamic_cast<MemoryForm&>(sender);
        seen.push_back(form.Find("btnSave")->Caption());
        form.Find("edtWidth")->SetText("300");
        form.Find("edtHeight")->SetText("240");
    });
    const auto changes = f.CreateWith("[fmMain]\r\nedtWidth_text=640\r\nbtnSave_caption=Save\r\n");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], Ansi("保存"));  // no text had been replaced yet
    EXPECT_EQ(changes, (std::vector<std::string>{"btnSave.caption=Save", "edtWidth.text=640", "edtHeight.text=240"}));
}

TEST(QInternational, TheFormsOwnCreationHandlerRunsAlsoWithoutAFile) {
    int calls = 0;
    LocalisedForm f(kOptionFormLayout, [&calls](LocalisableForm&) { ++calls; });
    EXPECT_EQ(f.Create(), std::vector<std::string>{});
    EXPECT_EQ(calls, 1);
}

TEST(QInternational, OnlyExistingComboItemsAreReplaced) {
    LocalisedForm f(kOptionFormLayout);
    const auto changes = f.CreateWith(
        "[fmOption]\r\ncmbDefaultFormatType_items_2=PNG\r\ncmbDefaultFormatType_items_1=Bitmap\r\n"
        "cmbDefaultFormatType_items_-1=GIF\r\ncmbDefaultFormatType_items_01=TIFF\r\n");
    EXPECT_EQ(changes, std::vector<std::string>{"cmbDefaultFormatType.items_1=Bitmap"});
    EXPECT_EQ(f.form.Find("cmbDefaultFormatType")->ItemCount(), 2);
}

TEST(QInternational, TheComboTextIsSetBeforeItsItems) {
    // A drop-down list shows only its items: its text selects the item of that text. "Bitmap"
    // is no item yet when the text is set, so item 0 stays selected.
    LocalisedForm f(kOptionFormLayout);
    EXPECT_EQ(f.CreateWith("[fmOption]\r\ncmbDefaultFormatType_items_1=Bitmap\r\ncmbDefaultFormatType_text=Bitmap\r\n"),
              std::vector<std::string>{"cmbDefaultFormatType.items_1=Bitmap"});
}

TEST(QInternational, TheComboTextSelectsAnExistingItem) {
    LocalisedForm f(kOptionFormLayout);
    const auto changes = f.CreateWith(
        "[fmOption]\r\ncmbDefaultFormatType_items_0=JPEG (*.jpg)\r\n"
        "cmbDefaultFormatType_text=" +
        Ansi("ビットマップ") + "\r\n");
    EXPECT_EQ(changes, (std::vector<std::string>{"cmbDefaultFormatType.text=" + Ansi("ビットマップ"),
                                                 "cmbDefaultFormatType.items_0=JPEG (*.jpg)"}));
}

TEST(QInternational, ASectionHeaderInCapitalsIsFound) {
    LocalisedForm f(kOptionFormLayout);
    EXPECT_EQ(f.CreateWith("[FMOPTION]\r\nBTNOK_CAPTION=OK\r\nfmoption_Caption=Options\r\n"),
              (std::vector<std::string>{"fmOption.caption=Options", "btnOk.caption=OK"}));
}

TEST(QInternational, HintsAreStoredForEveryControlEvenWhereNotShown) {
    LocalisedForm f(kMainFormLayout);
    const auto changes = f.CreateWith(
        "[fmMain]\r\nbvlBorder1_hint=line\r\nimgCapture_hint=picture\r\nlblMulti_hint=times\r\nedtWidth_hint=width\r\n"
        "dlgSave_hint=never\r\nXPManifest_hint=never\r\nfmMain_hint=never\r\n");
    EXPECT_EQ(changes, (std::vector<std::string>{"bvlBorder1.hint=line", "lblMulti.hint=times", "edtWidth.hint=width",
                                                 "imgCapture.hint=picture"}));
}

TEST(QInternational, AFileInAnotherCodePageIsTakenAsItsBytesWithoutError) {
    // Saved as UTF-8 on a Shift-JIS system: the bytes arrive unconverted and read as garbage.
    LocalisedForm f(kMainFormLayout);
    const std::string utf8 = "保存する";
    const auto changes = f.CreateWith("[fmMain]\r\nbtnSave_caption=" + utf8 + "\r\n");
    EXPECT_EQ(changes, std::vector<std::string>{"btnSave.caption=" + utf8});
    EXPECT_NE(AnsiToUtf8(f.CaptionOf("btnSave")), utf8);
}

TEST(QInternational, ShiftJisTextsArriveIntact) {
    LocalisedForm f(kMainFormLayout);
    f.CreateWith(Ansi("[fmMain]\r\nbtnCancel_caption=閉じる\r\nlblComment_caption=に縮小（最大）\r\n"));
    EXPECT_EQ(AnsiToUtf8(f.CaptionOf("btnCancel")), "閉じる");
    EXPECT_EQ(AnsiToUtf8(f.CaptionOf("lblComment")), "に縮小（最大）");
}

TEST(QInternational, KeysOfOtherFormsAndUnknownComponentsDoNotMatter) {
    LocalisedForm f(kMainFormLayout);
    EXPECT_EQ(f.CreateWith("[fmOption]\r\nbtnCancel_caption=Close\r\nfmMain_caption=No\r\n"
                           "[fmMain]\r\nbtnNothing_caption=x\r\ncmbDefaultFormatType_items_0=x\r\n"
                           "btnSave_text=x\r\nedtWidth_caption=x\r\nbtnSave=x\r\nbtnSave_Caption_=x\r\n"),
              std::vector<std::string>{});
}

TEST(QInternational, TheSectionCanBeChangedAndTheCaptionKeyKeepsTheFormsName) {
    LocalisedForm f(kMainFormLayout);
    f.localiser->SetSection("English");
    EXPECT_EQ(f.CreateWith("[fmMain]\r\nbtnSave_caption=No\r\n[English]\r\nEnglish_caption=No\r\n"
                           "fmMain_caption=Capture\r\nbtnSave_caption=Save\r\n"),
              (std::vector<std::string>{"fmMain.caption=Capture", "btnSave.caption=Save"}));
}

TEST(QInternational, AMissingFileChangesNothing) {
    LocalisedForm f(kOptionFormLayout);
    f.localiser->SetFileName(f.folder.File("absent.ini"));
    EXPECT_EQ(f.Create(), std::vector<std::string>{});
}

TEST(QInternational, AFileNameStartingWithADotIsTakenFromTheExecutablesFolder) {
    LocalisedForm f(kOptionFormLayout);
    std::filesystem::create_directory(f.folder.File("lang"));
    WriteTestFile(f.folder.File("lang") + PathDelimiter() + "de.ini", "[fmOption]\r\nbtnOk_caption=Gut\r\n");
    f.localiser->SetFileName(std::string(".") + PathDelimiter() + "lang" + PathDelimiter() + "de.ini");
    EXPECT_EQ(f.Create(), std::vector<std::string>{"btnOk.caption=Gut"});
}

TEST(QInternational, EveryNewFormInstanceReadsTheFileAgain) {
    LocalisedForm first(kOptionFormLayout);
    first.CreateWith("[fmOption]\r\nbtnOk_caption=One\r\n");
    EXPECT_EQ(first.CaptionOf("btnOk"), "One");

    MemoryForm second(kOptionFormLayout);
    QInternational localiser(&second, first.folder.Path() + PathDelimiter());
    WriteTestFile(first.folder.File("Resource.ini"), "[fmOption]\r\nbtnOk_caption=Two\r\n");
    localiser.Localise();
    EXPECT_EQ(second.Find("btnOk")->Caption(), "Two");
    EXPECT_EQ(first.CaptionOf("btnOk"), "One");
}

// The visiting order and the key rules, seen through a form that records every change.
class RecordingComponent : public LocalisableComponent {
public:
    RecordingComponent(std::string name, ComponentKind kind, int items, std::vector<std::string>& log)
        : name_(std::move(name)), kind_(kind), items_(items), log_(log) {}
    std::string Name() const override { return name_; }
    ComponentKind Kind() const override { return kind_; }
    void SetCaption(const std::string& v) override { log_.push_back(name_ + ".caption=" + v); }
    void SetHint(const std::string& v) override { log_.push_back(name_ + ".hint=" + v); }
    void SetText(const std::string& v) override { log_.push_back(name_ + ".text=" + v); }
    int ItemCount() const override { return items_; }
    void SetItem(int index, const std::string& v) override {
        log_.push_back(name_ + ".items_" + std::to_string(index) + "=" + v);
    }

private:
    std::string name_;
    ComponentKind kind_;
    int items_;
    std::vector<std::string>& log_;
};

class RecordingForm : public LocalisableForm {
public:
    RecordingForm() {
        components_.emplace_back("lblFirst", ComponentKind::OtherControl, 0, log);
        components_.emplace_back("edtSecond", ComponentKind::Edit, 0, log);
        components_.emplace_back("dlgThird", ComponentKind::NotAControl, 0, log);
        components_.emplace_back("cmbFourth", ComponentKind::ComboBox, 3, log);
        components_.emplace_back("fmFifth", ComponentKind::Form, 0, log);
    }
    std::string Name() const override { return "fmTest"; }
    void SetCaption(const std::string& v) override { log.push_back("fmTest.caption=" + v); }
    void SetHint(const std::string& v) override { log.push_back("fmTest.hint=" + v); }
    size_t ComponentCount() const override { return components_.size(); }
    LocalisableComponent& Components(size_t index) override { return components_.at(index); }

    std::vector<std::string> log;

private:
    std::vector<RecordingComponent> components_;
};

TEST(QInternational, ComponentsAreVisitedInDesignOrderHintFirstAndOnlyTheirKindsKeys) {
    TempDir dir;
    // Every suffix for every component, in reverse design order: the file's order must not matter.
    std::string ini = "[fmTest]\r\n";
    for (const char* name : {"fmFifth", "cmbFourth", "dlgThird", "edtSecond", "lblFirst", "fmTest"}) {
        for (const char* suffix :
             {"_items_3", "_items_2", "_items_1", "_items_0", "_items", "_text", "_caption", "_hint"}) {
            ini += std::string(name) + suffix + " = " + name + suffix + "\r\n";
        }
    }
    WriteTestFile(dir.File("Resource.ini"), ini);
    RecordingForm form;
    QInternational localiser(&form, dir.Path() + PathDelimiter());
    localiser.Localise();
    EXPECT_EQ(form.log, (std::vector<std::string>{
                            "fmTest.caption=fmTest_caption",
                            "lblFirst.hint=lblFirst_hint",
                            "lblFirst.caption=lblFirst_caption",
                            "edtSecond.hint=edtSecond_hint",
                            "edtSecond.text=edtSecond_text",
                            "cmbFourth.hint=cmbFourth_hint",
                            "cmbFourth.text=cmbFourth_text",
                            "cmbFourth.items_0=cmbFourth_items_0",
                            "cmbFourth.items_1=cmbFourth_items_1",
                            "cmbFourth.items_2=cmbFourth_items_2",
                            "fmFifth.hint=fmFifth_hint",
                            "fmFifth.caption=fmFifth_caption",
                        }));
}

// Owners that are not forms: the localiser exists but never acts.
class PlainComponent : public LocalisableComponent {
public:
    explicit PlainComponent(ComponentKind kind) : kind_(kind) {}
    std::string Name() const override { return "owner"; }
    ComponentKind Kind() const override { return kind_; }

private:
    ComponentKind kind_;
};

TEST(QInternational, AnOwnerThatIsNotAFormIsNotLocalised) {
    PlainComponent owner(ComponentKind::OtherControl);
    QInternational localiser(&owner, "/");
    EXPECT_EQ(localiser.Section(), "owner");
    QInternational orphan(nullptr, "/");
    EXPECT_EQ(orphan.Section(), "");
}

// File name resolution, against a folder that need not exist: nothing looks at the disk.
TEST(ResolveFileName, NamesNotStartingWithADotAreUnchanged) {
    const std::string d(1, PathDelimiter());
    for (const std::string& name :
         std::vector<std::string>{"Resource.ini", "", "lang" + d + "x.ini", d + "abs" + d + "x.ini", "x.ini."}) {
        EXPECT_EQ(QInternational::ResolveFileName(d + "base" + d, name), name) << name;
    }
}

TEST(ResolveFileName, DotNamesAreTakenFromTheBaseFolderAndExpanded) {
    const TempDir dir;
    const std::string d(1, PathDelimiter());
    const std::string base = ExpandFileName(dir.Path());
    const std::string parent = base.substr(0, LastPathDelimiter(base));
    struct Case {
        std::string folder, name, expected;
    };
    const Case cases[] = {
        {base + d, "." + d + "Resource.ini", base + d + "Resource.ini"},
        {base, "." + d + "Resource.ini", base + d + "Resource.ini"},  // the delimiter is added
        {base + d, ".." + d + "Resource.ini", parent + d + "Resource.ini"},
        {base + d, "." + d + "a" + d + ".." + d + "b.ini", base + d + "b.ini"},
        {base + d, ".hidden.ini", base + d + ".hidden.ini"},
        {base + d + "sub" + d + ".." + d, "." + d + "x.ini", base + d + "x.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QInternational::ResolveFileName(c.folder, c.name), c.expected) << c.folder << " + " << c.name;
    }
}

TEST(ResolveFileName, AFolderEndingInATrailByte5CStillGetsItsDelimiter) {
    // "ソ" is 0x83 0x5C in Shift-JIS: its second byte is not a backslash.
    const TempDir dir;
    const std::string d(1, PathDelimiter());
    const std::string folder = ExpandFileName(dir.Path()) + d + "\x83\x5C";
    EXPECT_EQ(QInternational::ResolveFileName(folder, "." + d + "Resource.ini"), folder + d + "Resource.ini");
}

// Hostile files: nothing crashes, and nothing is replaced that the file does not name.
TEST(QInternationalHostile, BinaryGarbageReplacesNothing) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 20; ++round) {
        std::string garbage(4096 + round * 997, '\0');
        for (auto& byte : garbage) byte = static_cast<char>(random());
        LocalisedForm f(round % 2 ? kMainFormLayout : kOptionFormLayout);
        EXPECT_EQ(f.CreateWith(garbage), std::vector<std::string>{}) << "round " << round;
    }
}

TEST(QInternationalHostile, GarbageAroundAValidLineLeavesJustThatLine) {
    LocalisedForm f(kMainFormLayout);
    const std::string text = std::string("\0\xFF\xFE[[\x81", 6) + "\r\n[fmMain]\r\n\x81\r\n" +
                             std::string("btnSave_caption=\x83\x5C\0x", 20) + "\r\n=\r\n==\r\n[\r\n]\r\n";
    EXPECT_EQ(f.CreateWith(text), std::vector<std::string>{"btnSave.caption=" + std::string("\x83\x5C\0x", 4)});
}

TEST(QInternationalHostile, ATenMegabyteValueIsTakenWhole) {
    LocalisedForm f(kMainFormLayout);
    const std::string big(10 * 1024 * 1024, 'W');
    const auto changes = f.CreateWith("[fmMain]\r\nlblMulti_caption=" + big + "\r\nbtnSave_caption=Save\r\n");
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], "btnSave.caption=Save");
    // Compared as a truth value: a failure must not print ten megabytes.
    EXPECT_TRUE(f.CaptionOf("lblMulti") == big) << "size " << f.CaptionOf("lblMulti").size();
}

TEST(QInternationalHostile, LinesWithoutEqualsNeverMatch) {
    LocalisedForm f(kMainFormLayout);
    EXPECT_EQ(f.CreateWith("[fmMain]\r\nbtnSave_caption\r\nbtnSave_caption Save\r\nbtnPrint_caption : Print\r\n"),
              std::vector<std::string>{});
}

TEST(QInternationalHostile, TheFirstOfDuplicateSectionsAndKeysWins) {
    LocalisedForm f(kMainFormLayout);
    EXPECT_EQ(f.CreateWith("[fmMain]\r\nbtnSave_caption=First\r\nbtnSave_caption=Second\r\n"
                           "[fmOption]\r\nbtnOk_caption=x\r\n"
                           "[FMMAIN]\r\nbtnSave_caption=Third\r\nbtnPrint_caption=Print\r\n"),
              (std::vector<std::string>{"btnSave.caption=First", "btnPrint.caption=Print"}));
}

TEST(QInternationalHostile, AFolderNamedResourceIniIsNoFile) {
    LocalisedForm f(kMainFormLayout);
    std::filesystem::create_directory(f.folder.File("Resource.ini"));
    EXPECT_EQ(f.Create(), std::vector<std::string>{});
}

}  // namespace

#include "install_fixture.h"

#include "engine/catalogue.h"
#include "engine/os_variant.h"
#include "engine/selection.h"

std::string TestModel()
{
    return CatalogueIsChinese() ? Utf8ToAnsi("岚鹊KD-810 票据A版") : "KORVA KD-900II";
}

std::string TestModelDataFile() { return CatalogueIsChinese() ? "kd810ta.gpd" : "kd900ii.gpd"; }

std::string TestModelDriverFile() { return CatalogueIsChinese() ? "kd810ta.drv" : "kd900ii.drv"; }

std::string CopyName(const std::string& model, int copy)
{
    std::string number = std::to_string(copy);
    return model + (CatalogueIsChinese() ? Utf8ToAnsi(" (副本 " + number + ")") : " (Copy " + number + ")");
}

std::string CatalogueText(unsigned id)
{
    std::string text;
    LoadCatalogueText(id, text);
    return text;
}

std::vector<std::string> ExpectedDependentFiles(int variant)
{
    switch (variant) {
    case 0: return {"KD810STD.drv", "Unidrv.dll", "Iconlib.dll", TestModelDriverFile()};
    case 1:
    case 2: return {"Kdxres.dll", "STDNAMES.GPD", "UNIRES.DLL"};
    default:
        return {"Kdxres.dll", "STDNAMES.GPD", "UNIRES.DLL", "STDDTYPE.GDL", "STDSCHEM.GDL", "STDSCHMX.GDL"};
    }
}

void InstallFixture::SetUp()
{
    ClearDriverDirectory();
    m_variant = DetectOsVariant();
    g_selectedModel = TestModel();
    g_selectedPort = "LPT1:";
}

void InstallFixture::TearDown()
{
    m_spooler.Restore();
    ClearDriverDirectory();
}

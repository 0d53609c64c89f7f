// Shared ground of the tests that install printers: the model each catalogue
// language installs, what its records must hold, and a fixture that gives
// every test a fresh install folder and leaves the spooler as it found it.
#pragma once

#include "support/spooler_state.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// ANSI texts of the thread's code page.
std::string TestModel();
std::string TestModelDataFile();
std::string TestModelDriverFile();
// The model's name with the copy suffix of the catalogue in force.
std::string CopyName(const std::string& model, int copy);
std::string CatalogueText(unsigned id);

// Dependent files the driver record must name for an OS variant.
std::vector<std::string> ExpectedDependentFiles(int variant);

class InstallFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ScopedInstallFolder m_folder;
    ScopedSpoolerState m_spooler;
    int m_variant = 0;
};

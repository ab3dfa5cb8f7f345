#pragma once

#include "contacts/listfile.h"
#include "contacts/optionvalues.h"

// Two complete versions of the settings and the contact list that differ in every key the kill
// test looks at, so that a file mixing them or cut short is told from either.
class SettingsVersions
{
public:
    static OptionValues values(int version);
    static ListFile::Table list(int version);
};

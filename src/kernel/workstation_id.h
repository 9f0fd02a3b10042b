#pragma once
// The workstation identifier: the hardware addresses of the machine's network
// adapters. It names this workstation's rows in the shared plan table, so it
// must stay the same from one run to the next.
#include <QString>
#include <QStringList>

namespace korvo::kernel {

inline constexpr const char* kMacNotFound = "mac not found";

// Composes the identifier from the adapters' texts (12 upper-case hex digits
// each, or "mac not found" for an adapter that did not answer), in order:
// none -> "mac not found"; one -> its text; two -> both texts joined; three or
// more -> of each of the first three, the 10 characters after the first two,
// joined (30 characters).
QString composeWorkstationId(const QStringList& adapterTexts);

// Twelve upper-case hex digits from an address written "aa:bb:cc:dd:ee:ff"
// (or with "-"); "mac not found" when it is not six bytes.
QString adapterText(const QString& hardwareAddress);

// The hardware addresses of the machine's adapters, ordered by interface
// name, loopback and all-zero addresses left out, as adapter texts.
QStringList machineAdapterTexts();

// composeWorkstationId(machineAdapterTexts()).
QString workstationId();

}  // namespace korvo::kernel

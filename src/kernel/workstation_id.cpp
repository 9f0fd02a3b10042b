#include "kernel/workstation_id.h"

#include <QNetworkInterface>
#include <QRegularExpression>
#include <algorithm>

namespace korvo::kernel {

QString composeWorkstationId(const QStringList& adapterTexts) {
  switch (adapterTexts.size()) {
    case 0:
      return QLatin1String(kMacNotFound);
    case 1:
      return adapterTexts[0];
    case 2:
      return adapterTexts[0] + adapterTexts[1];
    default: {
      QString id;
      for (int i = 0; i < 3; ++i) id += adapterTexts[i].mid(2, 10);
      return id;
    }
  }
}

QString adapterText(const QString& hardwareAddress) {
  static const QRegularExpression sixBytes(
      QStringLiteral("^([0-9A-Fa-f]{2})(?:[:-]([0-9A-Fa-f]{2})){5}$"));
  if (!sixBytes.match(hardwareAddress).hasMatch()) return QLatin1String(kMacNotFound);
  QString digits = hardwareAddress;
  digits.remove(':').remove('-');
  return digits.toUpper();
}

QStringList machineAdapterTexts() {
  struct Adapter {
    QString name;
    QString text;
  };
  QList<Adapter> adapters;
  for (const QNetworkInterface& nic : QNetworkInterface::allInterfaces()) {
    if (nic.flags().testFlag(QNetworkInterface::IsLoopBack)) continue;
    const QString text = adapterText(nic.hardwareAddress());
    if (text == QLatin1String(kMacNotFound) || text == QLatin1String("000000000000")) continue;
    adapters.append({nic.name(), text});
  }
  std::sort(adapters.begin(), adapters.end(),
            [](const Adapter& a, const Adapter& b) { return a.name < b.name; });
  QStringList texts;
  for (const Adapter& a : adapters) texts << a.text;
  return texts;
}

QString workstationId() { return composeWorkstationId(machineAdapterTexts()); }

}  // namespace korvo::kernel

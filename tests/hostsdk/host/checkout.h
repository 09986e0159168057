#pragma once

#include "contract/basicpaymentprocessing.h"

#include <QJsonObject>
#include <QPluginLoader>
#include <QString>

class Simulator;

// The cash register's side of one sale: loads the plug-in as a host does,
// pays, sends the receipt's fiscal data, refunds, and checks each answer
// against what the service holds. Prints a transcript on stdout.
class Checkout
{
public:
    Checkout(const QString &pluginPath, const Simulator &service);
    ~Checkout();

    bool load();
    bool pay(int amount, const QString &token);
    bool sendFiscalData(const QString &qrCode);
    bool refund();
    // Each failed check is printed; true when none failed so far.
    bool passed() const { return m_failures == 0; }
    QString rrn() const { return m_rrn; }

private:
    bool check(bool condition, const QString &what);
    QJsonObject ledger(const QString &expectedState);

    QPluginLoader m_loader;
    const Simulator &m_service;
    BasicPaymentProcessing *m_processing = nullptr;
    QString m_rrn;
    int m_amount = 0;
    int m_failures = 0;
};

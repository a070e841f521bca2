#pragma once

#include "ViewFixture.h"
#include "fleet/OwnerRecord.h"
#include "fleet/ui/OwnerView.h"

#include <QComboBox>
#include <QPushButton>

// The owner form on a fresh database (see ViewFixture).
class OwnerFormFixture : public ViewFixture<COwnerView>
{
public:
    qint32 addOwner(const QString& company, const QString& last = {}, const QString& first = {},
                    const QString& location = {})
    {
        OwnerRecord record;
        record.companyName = company;
        record.lastName = last;
        record.firstName = first;
        record.locationId = location;
        return record.save(db(), 0);
    }
    QComboBox* selector() { return find<QComboBox>("ownerSelector"); }
    QStringList selectorTexts()
    {
        QStringList texts;
        for (int i = 0; i < selector()->count(); ++i)
            texts << selector()->itemText(i);
        return texts;
    }
};

#include "card/cardcommands.h"

#include "core/formats.h"

namespace kelvo {

CardCommands::CardCommands(CardDataSets data, MessageService& messages, SettingsFile settings)
    : data_(data), messages_(messages), settings_(std::move(settings))
{
}

void CardCommands::formShow()
{
    planButtonEnabled_ = data_.card.asInteger(QStringLiteral("skupina")) == 0;
    data_.card.setDisplayFormat(QStringLiteral("cena"), kAmountFormat);
    accountingMode_ = settings_.readInt(QStringLiteral("Tfservis"), QStringLiteral("suiComboBox1_ItemIndex"), 0);
}

bool CardCommands::save()
{
    // A row being appended through the grid is not written here.
    if (data_.rows.isEditing() && !data_.rows.isAppending())
        data_.rows.post();
    if (data_.card.asString(QStringLiteral("pora_cislo")).isEmpty()) {
        messages_.show(Message{MessageIcon::Warning, {QStringLiteral("OK")},
                               QStringLiteral("Nelze ukládat bez vyplněného pořadového čísla!")});
        return false;
    }
    return true;
}

bool CardCommands::discard()
{
    return messages_.show(Message{MessageIcon::Question, {QStringLiteral("zahodit"), QStringLiteral("zpět")},
                                  QStringLiteral("Opravdu zahodit všechny změny?")}) == 1;
}

void CardCommands::showCard(const QString& id)
{
    planButtonEnabled_ = true;
    data_.rows.close();
    data_.rows.setText(QStringLiteral("select * from odpisy where id_karta=") + id);
    data_.rows.open();
    // Reopening drops whatever was typed into the card shown before.
    data_.card.close();
    data_.card.setText(QStringLiteral("select * from karta where id=") + id);
    data_.card.open();
}

void CardCommands::newCard()
{
    Query& work = data_.work;
    work.close();
    work.executeText(QStringLiteral("insert into karta values ()"));
    work.openText(QStringLiteral("select last_insert_id() as pv"));
    const QString id = work.asString(QStringLiteral("pv"));
    work.close();
    showCard(id);
}

void CardCommands::cloneCard()
{
    const QString shownId = data_.card.asString(QStringLiteral("id"));
    Query& work = data_.work;
    work.close();
    work.executeText(QStringLiteral("drop table if exists _pkarta"));
    work.executeText(QStringLiteral("create table _pkarta select * from karta where id=") + shownId);
    work.executeText(QStringLiteral("update _pkarta set id=0"));
    work.executeText(QStringLiteral("insert into karta select * from _pkarta"));
    work.openText(QStringLiteral("select last_insert_id() as pv"));
    const QString id = work.asString(QStringLiteral("pv"));
    work.close();
    work.executeText(QStringLiteral("update karta set pora_cislo=\"\",cislokarty=\"\",sk_odpisu=\"\",zp_odpisu=\"\","
                                    "skupina=\"0\",prvnirok=\"0\",dalsi=\"0\",rokyodpisu=\"0\",zvyseny_vstup=\"0\" "
                                    "where id=") +
                     id);
    work.executeText(QStringLiteral("drop table if exists _pkarta"));
    showCard(id);
}

void CardCommands::addRow()
{
    const QString id = data_.card.asString(QStringLiteral("id"));
    Query rows(data_.card.connection());
    rows.openText(QStringLiteral("select * from odpisy where id_karta = ") + id);
    if (!rows.isEmpty()) {
        rows.close();
        messages_.show(Message{MessageIcon::Stop, {QStringLiteral("OK")}, QStringLiteral("Nelze přidat novou větu")});
        return;
    }
    rows.close();
    rows.clearText();
    rows.addLine(QStringLiteral("insert into odpisy set"));
    rows.addLine(QStringLiteral("id_karta=") + id + QLatin1Char(','));
    for (const char* assignment : {"rok=2014,", "koef_o=0,", "procento_o=0.00,", "korun_o=0.00,", "zh=0,", "zh_d=0"})
        rows.addLine(QLatin1String(assignment));
    rows.execute();
    data_.rows.refresh();
}

} // namespace kelvo

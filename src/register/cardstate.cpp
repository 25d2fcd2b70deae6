#include "register/cardstate.h"

namespace kelvo {
namespace {

void setDiscardFlag(AssetList& list, MessageService& messages, const char* flag,
                    const QString& done) {
    const QString id = list.currentId();
    if (id.isEmpty())
        return;
    {
        Query statement(list.connection());
        statement.executeText(
            QStringLiteral("update karta set vyrazen=\"%1\" where id=").arg(QLatin1String(flag)) +
            id);
    }
    list.query().refresh();
    messages.show(infoMessage(done));
}

} // namespace

void discardCard(AssetList& list, MessageService& messages) {
    setDiscardFlag(list, messages, "A", QStringLiteral("Záznam vyřazen!"));
}

void reinstateCard(AssetList& list, MessageService& messages) {
    setDiscardFlag(list, messages, "N", QStringLiteral("Záznam obnoven!"));
}

bool deleteCard(AssetList& list, MessageService& messages) {
    const QString id = list.currentId();
    if (id.isEmpty())
        return false;
    const Message confirm{MessageIcon::Stop,
                          {QStringLiteral("Vymazat"), QStringLiteral("Zpět")},
                          QStringLiteral("Opravdu vymazat záznam!")};
    if (messages.show(confirm) != 1)
        return false;
    list.statements().executeText(QStringLiteral("delete from odpisy where id_karta = ") + id);
    list.query().deleteRow();
    messages.show(infoMessage(QStringLiteral("Záznam byl vymazán!")));
    return true;
}

} // namespace kelvo

#include "ui/programwindows.h"

#include "maintenance/accountingmodestore.h"
#include "ui/tfinventura.h"
#include "ui/tfkarta.h"
#include "ui/tfrovnomerne.h"
#include "ui/tfservis.h"
#include "ui/tfskupina.h"
#include "ui/tfzrychlene.h"
#include "ui/tfzvysen10.h"
#include "ui/tfzvysen15.h"
#include "ui/tfzvysen20.h"

namespace kelvo {

std::unique_ptr<TForm1> createProgramWindows(const MainWindowServices& services, const QString& executable) {
    Connection& connection = services.connection;
    DateFormat& dateFormat = services.dateFormat;
    MessageService& messages = services.messages;
    auto form1 = std::make_unique<TForm1>(services);
    TForm1* main = form1.get();

    TForm1::Windows windows;
    windows.fkarta = new Tfkarta(CardWindowServices{connection, services.programSettings, dateFormat, messages,
                                                    [main] { main->Vybrankarta1Click(); }},
                                 main);
    windows.fzvysen15 = new Tfzvysen15(connection, dateFormat, messages, main);
    windows.fzrychlene = new Tfzrychlene(connection, dateFormat, messages, main);
    windows.fskupina = new Tfskupina(connection, dateFormat, messages, main);
    windows.frovnomerne = new Tfrovnomerne(connection, dateFormat, messages, main);
    windows.fzvysen20 = new Tfzvysen20(connection, dateFormat, messages, main);
    windows.fzvysen10 = new Tfzvysen10(connection, dateFormat, messages, main);
    windows.finventura = new Tfinventura(main);
    windows.fservis = new Tfservis(AccountingModeStore::forExecutable(executable), messages, main);
    form1->setWindows(windows);
    return form1;
}

} // namespace kelvo

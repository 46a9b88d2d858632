#include "settings/dialog_layout.h"

namespace morvane {

using enum ControlKind;

const std::array<DialogControl, dialogControlCount> dialogControls = {{
    {112, groupBox, "Mesterséges intelligencia", 8, 140, 268, 76},
    {119, groupBox, "Nehézségi fok", 84, 152, 148, 52},
    {116, radioButton, "Kezdő", 88, 164, 40, 12},
    {117, radioButton, "Könnyű", 88, 176, 40, 12},
    {118, radioButton, "Közepes", 88, 188, 44, 12},
    {123, radioButton, "Nehéz", 140, 164, 60, 12},
    {124, radioButton, "Bajnok", 140, 176, 60, 12},
    {1, pushButton, "OK", 40, 228, 50, 14},
    {101, groupBox, "Játékosok", 8, 4, 268, 56},
    {102, staticText, "Játékos1:", 16, 17, 32, 8},
    {103, staticText, "Játékos2:", 16, 36, 32, 8},
    {104, edit, nullptr, 52, 17, 68, 12},
    {105, edit, nullptr, 52, 36, 68, 12},
    {106, checkBox, "Számítógép irányítja", 136, 36, 80, 12},
    {107, groupBox, "Játék adatai", 8, 60, 268, 76},
    {108, staticText, "Térméret:", 16, 73, 32, 8},
    {109, digitEdit, nullptr, 64, 72, 56, 12},
    {110, staticText, "Lerakat: ", 16, 88, 32, 8},
    {111, edit, nullptr, 64, 88, 56, 12},
    {113, checkBox, "Preszimuláció", 16, 152, 60, 12},
    {114, checkBox, "Kaotikus játék", 136, 73, 60, 12},
    {115, staticText, "(min: 1, max: 8, nem kaotikus játék esetén)", 128, 90, 140, 8},
    {120, checkBox, "Van szorzó", 200, 73, 60, 12},
    {121, staticText, "Körök száma:", 16, 104, 60, 8},
    {122, edit, nullptr, 64, 104, 56, 12},
    {2, pushButton, "Kilépés", 208, 227, 50, 14},
    {125, checkBox, "Számítógép irányítja", 136, 16, 80, 12},
    {126, checkBox, "A nyertes kezdi a következő kört.", 136, 104, 120, 12},
    {127, checkBox, "Véletlen kezdés", 136, 121, 124, 12},
    {128, staticText, "Játék közben az F1-gyel kaphatsz súgót.", 116, 224, 60, 24},
}};

const char* controlHelpText(int id) {
  switch (id) {
    case 104:
      return "A kezdő játékos nevét kell ide beírni. ";
    case 105:
      return "A második játékos nevét kell ide beírni.";
    case 106:
      return "Itt állíthatod be, hogy a számítógép irányítsa a második játékost.";
    case 109:
      return "A játéktér méretét itt adhatod meg. Nagyobb játéktér, nagyobb kihívás.";
    case 111:
      return "Nem kaotikus játék esetén itt adhatod meg, hogy hány golyósorból álljanak a "
             "gyémántlerakat oldalai. Kaotikus játék esetén a számot szorozd be tízzel, annyi "
             "golyóval fogsz játszani. (A max 1000, de a géped már 200 golyónál is valószínűleg "
             "beszaggat.)";
    case 113:
      return "Minden lökés előtt a gép magában leszimulája, hogy hogyan fognak a golyók mozogni. "
             "Emiatt a gép lényegében sosem fog hibázni. (Csak gépi ellenfél esetén)";
    case 114:
      return "Ha bejelölöd, akkor a golyók és a \"lyukak\" kaotikusan lesznek mindenfelé "
             "szétszórva, különben a szabványos gyémántalakban rendezi el a golyókat.";
    case 116:
    case 117:
    case 118:
    case 123:
    case 124:
      return "A nehézségi fokot állítod be itt, a könnyebb szinteken a gép pontatlanabb, míg a "
             "legnehezebb szinten olyan pontos, amilyen csak lehet.";
    case 120:
      return "Ha bejelölöd, akkor beállíthatod, hogy a belött golyók értéke fokozatosan "
             "növekedjen";
    case 122:
      return "Itt adhatod meg, hogy hány körből álljon egy meccs.";
    case 125:
      return "Itt állíthatod be, hogy a számítógép irányítsa az első játékost.";
    case 126:
      return "Ha bejelölöd, akkor a kör győztese fogja kezdeni a következő kört is, így lehet, "
             "hogy nem is fogsz szóhoz jutni a játék során.";
    case 127:
      return "Ha bejelölöd, akkor akárki kezdheti a játékot, nemcsak az egyes.";
    default:
      return nullptr;
  }
}

}  // namespace morvane

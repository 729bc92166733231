#include "app/tform1.h"

namespace nomaro {

void TForm1::SBTRYRENClick() {}
void TForm1::SBUPClick() {}
void TForm1::SBDOWNClick() {}
void TForm1::LISTARENColumnClick(int) {}
void TForm1::SBRENClick() {}
void TForm1::SBUNDOClick() {}
void TForm1::EDCERCACARChange() {}
void TForm1::EDSOSTCARChange() {}

} // namespace nomaro

#include "app/tform1.h"

namespace nomaro {

void TForm1::TabSheet7Show() {}
void TForm1::SBAGGLISTAClick() {}
void TForm1::MARKDIRClick() {}
void TForm1::RBSEPALTROClick() {}
void TForm1::RBRTFClick() {}
void TForm1::RBTXTClick() {}
void TForm1::RBCSVClick() {}
void TForm1::SBSAVELISTAClick() {}
void TForm1::SBCOPYCBClick() {}
void TForm1::SBSELALLClick() {}
void TForm1::SBDESELALLClick() {}
void TForm1::SBSTAMPAClick() {}

} // namespace nomaro

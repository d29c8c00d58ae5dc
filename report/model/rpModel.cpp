// rpModel.cpp - start-up of the report object model.
#include "report/model/rpModel.h"

#include "report/model/rpDBSet.h"
#include "report/model/rpRes.h"
#include "report/model/rpVariables.h"

void rpInitModel()
{
    RegisterClassesUnit();
    RegisterGraphicsClasses();
    RegisterClasses({TrpUserDataSet::StaticClass(), TrpDBDataset::StaticClass(), TrpVariable::StaticClass(),
                     TrpDataSetItem::StaticClass()});
    frAddClassesRes();
    rpRegisterResourceImages();
}

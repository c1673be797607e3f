// Interface IDs of the VST3 interfaces the adapter and our host library use (the base ones are
// in the SDK's coreiids.cpp). Defined once here so both sides link the same definitions.
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstattributes.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstchannelcontextinfo.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstpluginterfacesupport.h"
#include "pluginterfaces/vst/ivstunits.h"

namespace Steinberg {
DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
DEF_CLASS_IID(IPlugViewContentScaleSupport)
namespace Linux {
DEF_CLASS_IID(IEventHandler)
DEF_CLASS_IID(ITimerHandler)
DEF_CLASS_IID(IRunLoop)
} // namespace Linux

namespace Vst {
DEF_CLASS_IID(IComponent)
DEF_CLASS_IID(IAudioProcessor)
DEF_CLASS_IID(IAudioPresentationLatency)
DEF_CLASS_IID(IProcessContextRequirements)
DEF_CLASS_IID(IEditController)
DEF_CLASS_IID(IEditController2)
DEF_CLASS_IID(IEditControllerHostEditing)
DEF_CLASS_IID(IMidiMapping)
DEF_CLASS_IID(IComponentHandler)
DEF_CLASS_IID(IComponentHandler2)
DEF_CLASS_IID(IComponentHandler3)
DEF_CLASS_IID(IComponentHandlerBusActivation)
DEF_CLASS_IID(IContextMenu)
DEF_CLASS_IID(IContextMenuTarget)
DEF_CLASS_IID(IProgress)
DEF_CLASS_IID(IUnitInfo)
DEF_CLASS_IID(IUnitHandler)
DEF_CLASS_IID(IUnitHandler2)
DEF_CLASS_IID(IProgramListData)
DEF_CLASS_IID(IUnitData)
DEF_CLASS_IID(IEventList)
DEF_CLASS_IID(IParameterChanges)
DEF_CLASS_IID(IParamValueQueue)
DEF_CLASS_IID(IMessage)
DEF_CLASS_IID(IConnectionPoint)
DEF_CLASS_IID(IAttributeList)
DEF_CLASS_IID(IStreamAttributes)
DEF_CLASS_IID(IHostApplication)
DEF_CLASS_IID(IPlugInterfaceSupport)
namespace ChannelContext {
DEF_CLASS_IID(IInfoListener)
} // namespace ChannelContext
} // namespace Vst
} // namespace Steinberg

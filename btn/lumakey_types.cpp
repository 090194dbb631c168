#include "lumakey_types.h"

#include "btn_object.h"

namespace lumakey {

using namespace fk::com;

// The members of _btn, each with what the type library says of it and what it does.
constexpr DispatchMember<btn> kBtnMembers[] = {
    {{"IsMouseOverControl", kDispIdIsMouseOverControl, InvokeKind::Method, ValueType::Bool, 0},
     [](btn& control, std::span<const Variant>) { return Variant(toBool16(control.IsMouseOverControl())); }},
    {{"Caption", kDispIdCaption, InvokeKind::PropertyGet, ValueType::Variant, 0},
     [](btn& control, std::span<const Variant>) { return Variant(control.Caption()); }},
    {{"Caption", kDispIdCaption, InvokeKind::PropertyPut, ValueType::Void, 1},
     [](btn& control, std::span<const Variant> args) {
         control.setCaption(args[0]);
         return Variant();
     }},
};
const std::span<const DispatchMember<btn>> kBtnDispatch = kBtnMembers;

namespace {

constexpr auto kBtnDeclarations = declarationsOf(kBtnMembers);

constexpr MemberInfo kBtnEventMembers[] = {
    {"Click", kDispIdClick, InvokeKind::Method, ValueType::Void, 0},
};

// Recompose on resize, no links inside, inside-out activation, activate when visible,
// set the client site first.
constexpr std::uint32_t kMiscStatus = 0x00020191;

LibraryState gState{};

ComPtr<IUnknown> createBtn(LibraryState& state) { return makeObject<BtnObject>(state).as<IUnknown>(); }

} // namespace

const InterfaceInfo kBtnInterface{"_btn", guid("{6F5550D2-7096-4A9C-AA54-F2BB84D0A99B}"),
                                  InterfaceDual | InterfaceHidden, kBtnDeclarations};
const InterfaceInfo kBtnEvents{"__btn", guid("{F26C7975-6F91-4C53-BD8F-A230F902D283}"),
                               InterfaceDispatchOnly | InterfaceHidden, kBtnEventMembers};

const ClassInfo kBtnClass{"btn", guid("{8DDE02C5-207C-4592-8B6F-0F84159237E0}"), "Lumakey.btn", true,
                          kMiscStatus, 30000, &kBtnInterface, &kBtnEvents};

namespace {
const ClassInfo kClasses[] = {kBtnClass};
const InterfaceInfo* const kInterfaces[] = {&kBtnInterface, &kBtnEvents};
const ClassFactoryEntry kFactories[] = {{&kBtnClass, createBtn}};
} // namespace

const TypeLibraryInfo kTypeLibrary{"Lumakey", "Lumakey", guid("{2004FE3A-FBE0-4284-AAF3-0C56C3E6713D}"), 2, 0,
                                   0x0409, true, kClasses, kInterfaces};

const LibraryDescriptor kLibrary{&kTypeLibrary, kFactories, &gState};

} // namespace lumakey

# Tests of KAPTORAX.ocx under Wine: registration, type library, creation by class id and
# Invoke by dispatch id against Ftd2xx.dll, persistence, hosting with pixel read-back, and the
# about box and property page driven from a thread. Each case runs in a process of its own.
add_library(kaptor_com_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/com_support.cpp)
target_link_libraries(kaptor_com_test_support PUBLIC kaptor_test_support ole32 oleaut32 uuid
    user32 gdi32 advapi32)

function(kaptor_com_test name)
    # Every case registers the module in the prefix's one registry.
    kaptor_test(${name} ${ARGN} LOCK wine_registry)
    target_link_libraries(${name} PRIVATE kaptor_com_test_support)
    add_dependencies(${name} KAPTORAX KAPTORAX_without_typelib kaptorsim)
endfunction()

kaptor_com_test(com_registration_test ${CMAKE_CURRENT_LIST_DIR}/com_registration_test.cpp)
kaptor_com_test(com_control_test ${CMAKE_CURRENT_LIST_DIR}/com_control_test.cpp)
kaptor_com_test(com_persistence_test ${CMAKE_CURRENT_LIST_DIR}/com_persistence_test.cpp)
kaptor_com_test(com_hosting_test ${CMAKE_CURRENT_LIST_DIR}/com_hosting_test.cpp)
target_link_libraries(com_hosting_test PRIVATE atl)
kaptor_com_test(com_dialogs_test ${CMAKE_CURRENT_LIST_DIR}/com_dialogs_test.cpp)

# The control from VBScript and JScript through Wine's cscript: a failed Toma is an error with
# the control's words.
foreach(mode handled unhandled)
    add_test(NAME com_script_${mode}
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/com_script_test.sh ${PROJECT_BINARY_DIR} ${mode})
    set_tests_properties(com_script_${mode} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
        LABELS com_script RESOURCE_LOCK wine_registry)
endforeach()

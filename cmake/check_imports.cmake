# cmake -DOBJDUMP=<objdump> -DFOLDERS=<folder;...> -DFILES=<file;...> -P check_imports.cmake:
# fails when a Windows program or library (the .exe and .dll files of FOLDERS,
# and FILES) imports a function or a library that the oldest Windows the
# launcher supports lacks: Windows 7 and Server 2008 R2, without updates.
# Functions that came later, or with an update, are looked up when the program
# runs instead (GetProcAddress).
cmake_minimum_required(VERSION 3.25)

# Functions of the system's libraries that came with Windows 8 or later, or to
# Windows 7 only with an update, among those a program like this one might use.
set(newer_functions
    # kernel32
    AddDllDirectory RemoveDllDirectory SetDefaultDllDirectories
    GetSystemTimePreciseAsFileTime QueryUnbiasedInterruptTimePrecise
    CreateFile2 CopyFile2 GetOverlappedResultEx
    GetCurrentThreadStackLimits SetThreadDescription GetThreadDescription
    SetThreadInformation GetThreadInformation GetProcessInformation SetProcessInformation
    GetProcessMitigationPolicy SetProcessMitigationPolicy
    WaitOnAddress WakeByAddressSingle WakeByAddressAll
    InitializeSynchronizationBarrier EnterSynchronizationBarrier DeleteSynchronizationBarrier
    CreateFileMappingFromApp MapViewOfFileFromApp VirtualAllocFromApp VirtualAlloc2
    MapViewOfFile3 PrefetchVirtualMemory GetFirmwareType
    GetCurrentPackageId GetCurrentPackageFullName GetPackageFullName GetPackageFamilyName
    CreatePseudoConsole ResizePseudoConsole ClosePseudoConsole
    # user32
    GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi AdjustWindowRectExForDpi
    SystemParametersInfoForDpi EnableNonClientDpiScaling
    SetProcessDpiAwarenessContext SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext
    GetWindowDpiAwarenessContext AreDpiAwarenessContextsEqual GetAwarenessFromDpiAwarenessContext
    LogicalToPhysicalPointForPerMonitorDPI PhysicalToLogicalPointForPerMonitorDPI
    GetPointerType GetPointerInfo EnableMouseInPointer RegisterPointerInputTarget
    InitializeTouchInjection InjectTouchInput IsImmersiveProcess
    # ole32
    CoIncrementMTAUsage CoDecrementMTAUsage)

# Libraries that Windows 7 does not have (the C runtime of the system's
# libraries, msvcrt.dll, it has; the universal one only with an update).
set(newer_library_patterns "^api-ms-win-" "^ext-ms-" "^ucrtbase\\.dll$" "^shcore\\.dll$"
                           "^combase\\.dll$" "^bcryptprimitives\\.dll$")

set(files ${FILES})
foreach(folder IN LISTS FOLDERS)
    file(GLOB found ${folder}/*.exe ${folder}/*.dll)
    list(APPEND files ${found})
endforeach()
if(NOT files)
    message(FATAL_ERROR "no files to check")
endif()

set(findings "")
foreach(file IN LISTS files)
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} cannot read ${file}")
    endif()
    get_filename_component(name ${file} NAME)
    string(REPLACE "\n" ";" lines "${dump}")
    set(library "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*DLL Name: (.+)$")
            string(TOLOWER "${CMAKE_MATCH_1}" library)
            foreach(pattern IN LISTS newer_library_patterns)
                if(library MATCHES "${pattern}")
                    list(APPEND findings "${name} imports ${library}")
                endif()
            endforeach()
        elseif(library AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)$")
            if(CMAKE_MATCH_1 IN_LIST newer_functions)
                list(APPEND findings "${name} imports ${CMAKE_MATCH_1} of ${library}")
            endif()
        endif()
    endforeach()
endforeach()

foreach(finding IN LISTS findings)
    message(NOTICE "${finding}")
endforeach()
if(findings)
    message(FATAL_ERROR "Windows 7 lacks what these files import")
endif()
list(LENGTH files count)
message(STATUS "${count} files import nothing Windows 7 lacks")

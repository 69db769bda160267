//| breakpoints on the EVB-42 firmware
//| plain locations: names keep their digits, numbers get a "#"
break main
break uart_isr
break #0x08000400
break crc32_update
break #142
//Warning: location scope not converted: main.c
break  vector_catch
//| pass counts: one blank before the count, then two
break,pass:5 #88
//Warning: location scope not converted: main.c
break,pass:5 #88
//Warning: location scope not converted: main.c
//| conditions
break,when:{ rx_count>=3}  poll_rx   
break,when:{ uart\state == 2}  #57   
//Warning: location scope not converted: uart.c
break,when:{}  idle_loop  
//| action lists become macros
define int MyMacro_0()
{
$printf "%x",status$;
$go$;
return (1);
}
.

break,macro:{MyMacro_0()} #200   
//Warning: location scope not converted: main.c
define int MyMacro_1()
{
$where$;
return (1);
}
.

break,macro:{MyMacro_1()} fault_handler   
define int MyMacro_2()
{
$where$;
return (1);
}
.

break,macro:{MyMacro_2()} hard_fault   
//Warning: not converted in the command list: reset
define int MyMacro_3()
{
$cexpression @vector_catch = 0$;
$go$;
return (1);
}
.

break,macro:{MyMacro_3()} reset_handler   
//Warning only a subset of Tavex internal variables are avilable in MXT
define int MyMacro_4()
{
$go$;
return (1);
}
.

break,macro:{MyMacro_4()},when:{ ready} poll   
define int MyMacro_5()
{
$go$;
return (1);
}
.

break,macro:{MyMacro_5()},when:{ tx_len > 64} tx_done   
//| "do" and "if" inside words are not keywords
break do_self_test
break flash_erase_done
define int MyMacro_6()
{
$cexpression ifindex$;
$go$;
return (1);
}
.

break,macro:{MyMacro_6()} eth_rx   
//| a breakpoint inside an action list gets a macro of its own
define int MyMacro_7()
{
$define int MyMacro_8()
{
$go$;
return (1);
}
.
$;
return (1);
}
.

break,macro:{MyMacro_7()} main   
//| watchpoints
breaka rx_count
breaka,pass:4 buf_ptr
breaka rx_buf[2]
//| removing and listing breakpoints
//warning unbreak not converted as MXT uses clearbreak #n where n is the breakpoint number
dtbreak
dcommands break

//| Breakpoint session: stop in the UART driver, log the state, go on
break uart_init
break,pass:5 uart_rx_isr
break,when:{ rx_count>=16}  #120   
//Warning: location scope not converted: main.c
define int MyMacro_0()
{
$cexpression frame_len$;
$go$;
return (1);
}
.

break,macro:{MyMacro_0()} process_frame   
breaka tx_head
alias cont = go
cont
gostep until( state==IDLE)
//warning unbreak not converted as MXT uses clearbreak #n where n is the breakpoint number
dcommands break
//No available conversion of command:	trace on
quit y
